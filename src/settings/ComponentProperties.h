#pragma once
// Component properties by name, as the settings file names them: Height, Width, Left, Top, WindowState,
// Visible, Enabled, Text, Caption, Checked, Color, Hint and, with a dot, Font.Size and Font.Name; any other
// name falls back to the object's Qt properties (Tag, for example). Names ignore letter case.

#include <QString>
#include <optional>

class QObject;

namespace pw {

// The property's value as settings text ("True", "wsMaximized", "640"); none when there is no such property.
std::optional<QString> ReadComponentProperty(QObject* component, const QString& name);
// Sets the property from settings text; false when there is no such property or the text does not convert.
bool WriteComponentProperty(QObject* component, const QString& name, const QString& text);

// Settings text conversions: Booleans by identifier ("True"/"False", any case); whole numbers in decimal.
std::optional<bool> BooleanOfText(const QString& text);
std::optional<int> IntegerOfText(const QString& text);

}  // namespace pw
