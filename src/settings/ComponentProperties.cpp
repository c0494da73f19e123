#include "settings/ComponentProperties.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QWidget>
#include <functional>

namespace pw {

std::optional<bool> BooleanOfText(const QString& text) {
  if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
  if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
  return std::nullopt;
}

std::optional<int> IntegerOfText(const QString& text) {
  bool ok = false;
  const int value = text.trimmed() == text ? text.toInt(&ok, 10) : 0;
  return ok ? std::optional<int>(value) : std::nullopt;
}

namespace {

QString BoolText(bool value) {
  return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Colours as whole numbers in the 0x00BBGGRR layout; negative numbers (system colours) are not supported.
std::optional<QColor> ColorOfNumber(int value) {
  if (value < 0 || value > 0xFFFFFF) return std::nullopt;
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
int NumberOfColor(const QColor& c) {
  return c.red() | c.green() << 8 | c.blue() << 16;
}

struct TAccessor {
  std::function<QString()> Read;
  std::function<bool(const QString&)> Write;
};

bool Is(const QString& a, const char* b) {
  return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

template <class Setter>
std::function<bool(const QString&)> IntWriter(Setter set) {
  return [set](const QString& text) {
    std::optional<int> v = IntegerOfText(text);
    if (v) set(*v);
    return v.has_value();
  };
}

template <class Setter>
std::function<bool(const QString&)> BoolWriter(Setter set) {
  return [set](const QString& text) {
    std::optional<bool> v = BooleanOfText(text);
    if (v) set(*v);
    return v.has_value();
  };
}

std::optional<TAccessor> WidgetGeometry(QWidget* w, const QString& name) {
  if (Is(name, "Height"))
    return TAccessor{[w] { return QString::number(w->height()); },
                     IntWriter([w](int v) { w->resize(w->width(), v); })};
  if (Is(name, "Width"))
    return TAccessor{[w] { return QString::number(w->width()); },
                     IntWriter([w](int v) { w->resize(v, w->height()); })};
  if (Is(name, "Left"))
    return TAccessor{[w] { return QString::number(w->x()); }, IntWriter([w](int v) { w->move(v, w->y()); })};
  if (Is(name, "Top"))
    return TAccessor{[w] { return QString::number(w->y()); }, IntWriter([w](int v) { w->move(w->x(), v); })};
  if (Is(name, "WindowState") && w->isWindow()) {
    return TAccessor{[w] {
                       const Qt::WindowStates s = w->windowState();
                       return QString::fromLatin1(s & Qt::WindowMinimized   ? "wsMinimized"
                                                  : s & Qt::WindowMaximized ? "wsMaximized"
                                                                            : "wsNormal");
                     },
                     [w](const QString& text) {
                       if (Is(text, "wsNormal"))
                         w->setWindowState(Qt::WindowNoState);
                       else if (Is(text, "wsMinimized"))
                         w->setWindowState(Qt::WindowMinimized);
                       else if (Is(text, "wsMaximized"))
                         w->setWindowState(Qt::WindowMaximized);
                       else
                         return false;
                       return true;
                     }};
  }
  return std::nullopt;
}

std::optional<TAccessor> WidgetProperty(QWidget* w, const QString& name) {
  if (auto geometry = WidgetGeometry(w, name)) return geometry;
  if (Is(name, "Visible"))
    return TAccessor{[w] { return BoolText(!w->isHidden()); }, BoolWriter([w](bool v) { w->setVisible(v); })};
  if (Is(name, "Enabled"))
    return TAccessor{[w] { return BoolText(w->isEnabled()); }, BoolWriter([w](bool v) { w->setEnabled(v); })};
  if (Is(name, "Hint"))
    return TAccessor{[w] { return w->toolTip(); },
                     [w](const QString& t) {
                       w->setToolTip(t);
                       return true;
                     }};
  if (Is(name, "Color")) {
    return TAccessor{[w] { return QString::number(NumberOfColor(w->palette().color(QPalette::Window))); },
                     [w](const QString& text) {
                       std::optional<int> n = IntegerOfText(text);
                       std::optional<QColor> c = n ? ColorOfNumber(*n) : std::nullopt;
                       if (!c) return false;
                       QPalette p = w->palette();
                       p.setColor(QPalette::Window, *c);
                       w->setPalette(p);
                       w->setAutoFillBackground(true);
                       if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
                         area->viewport()->setPalette(p);
                         area->viewport()->setAutoFillBackground(true);
                       }
                       return true;
                     }};
  }
  if (auto* edit = qobject_cast<QLineEdit*>(w); edit && Is(name, "Text"))
    return TAccessor{[edit] { return edit->text(); },
                     [edit](const QString& t) {
                       edit->setText(t);
                       return true;
                     }};
  if (auto* label = qobject_cast<QLabel*>(w); label && (Is(name, "Text") || Is(name, "Caption")))
    return TAccessor{[label] { return label->text(); },
                     [label](const QString& t) {
                       label->setText(t);
                       return true;
                     }};
  if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    if (Is(name, "Caption") || Is(name, "Text"))
      return TAccessor{[button] { return button->text(); },
                       [button](const QString& t) {
                         button->setText(t);
                         return true;
                       }};
    if (Is(name, "Checked") && button->isCheckable())
      return TAccessor{[button] { return BoolText(button->isChecked()); },
                       BoolWriter([button](bool v) { button->setChecked(v); })};
  }
  if (auto* group = qobject_cast<QGroupBox*>(w); group && Is(name, "Caption"))
    return TAccessor{[group] { return group->title(); },
                     [group](const QString& t) {
                       group->setTitle(t);
                       return true;
                     }};
  if (Is(name, "Caption") && w->isWindow())
    return TAccessor{[w] { return w->windowTitle(); },
                     [w](const QString& t) {
                       w->setWindowTitle(t);
                       return true;
                     }};
  return std::nullopt;
}

std::optional<TAccessor> ActionProperty(QAction* a, const QString& name) {
  if (Is(name, "Checked"))
    return TAccessor{[a] { return BoolText(a->isChecked()); }, BoolWriter([a](bool v) { a->setChecked(v); })};
  if (Is(name, "Enabled"))
    return TAccessor{[a] { return BoolText(a->isEnabled()); }, BoolWriter([a](bool v) { a->setEnabled(v); })};
  if (Is(name, "Visible"))
    return TAccessor{[a] { return BoolText(a->isVisible()); }, BoolWriter([a](bool v) { a->setVisible(v); })};
  if (Is(name, "Caption"))
    return TAccessor{[a] { return a->text(); },
                     [a](const QString& t) {
                       a->setText(t);
                       return true;
                     }};
  if (Is(name, "Hint"))
    return TAccessor{[a] { return a->toolTip(); },
                     [a](const QString& t) {
                       a->setToolTip(t);
                       return true;
                     }};
  return std::nullopt;
}

std::optional<TAccessor> FontProperty(QWidget* w, const QString& name) {
  if (Is(name, "Size"))
    return TAccessor{[w] { return QString::number(w->font().pointSize()); }, IntWriter([w](int v) {
                       QFont f = w->font();
                       if (v > 0) f.setPointSize(v);
                       w->setFont(f);
                     })};
  if (Is(name, "Name"))
    return TAccessor{[w] { return w->font().family(); },
                     [w](const QString& t) {
                       QFont f = w->font();
                       f.setFamily(t);
                       w->setFont(f);
                       return true;
                     }};
  return std::nullopt;
}

// Any other name: the object's own Qt property of that name (letter case ignored).
std::optional<TAccessor> MetaProperty(QObject* o, const QString& name) {
  const QMetaObject* meta = o->metaObject();
  for (int i = 0; i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    if (!Is(name, p.name())) continue;
    return TAccessor{[o, p] {
                       const QVariant v = p.read(o);
                       return v.typeId() == QMetaType::Bool ? BoolText(v.toBool()) : v.toString();
                     },
                     [o, p](const QString& text) {
                       QVariant v;
                       if (p.typeId() == QMetaType::Bool) {
                         std::optional<bool> b = BooleanOfText(text);
                         if (!b) return false;
                         v = *b;
                       } else if (p.typeId() == QMetaType::Int) {
                         std::optional<int> n = IntegerOfText(text);
                         if (!n) return false;
                         v = *n;
                       } else if (p.typeId() == QMetaType::QString) {
                         v = text;
                       } else {
                         return false;
                       }
                       return p.isWritable() && p.write(o, v);
                     }};
  }
  return std::nullopt;
}

std::optional<TAccessor> Resolve(QObject* component, const QString& name) {
  if (!component) return std::nullopt;
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot >= 0) {
    auto* w = qobject_cast<QWidget*>(component);
    if (w && Is(name.left(dot), "Font")) return FontProperty(w, name.mid(dot + 1));
    return std::nullopt;
  }
  if (auto* w = qobject_cast<QWidget*>(component))
    if (auto a = WidgetProperty(w, name)) return a;
  if (auto* action = qobject_cast<QAction*>(component))
    if (auto a = ActionProperty(action, name)) return a;
  return MetaProperty(component, name);
}

}  // namespace

std::optional<QString> ReadComponentProperty(QObject* component, const QString& name) {
  std::optional<TAccessor> a = Resolve(component, name);
  if (!a) return std::nullopt;
  return a->Read();
}

bool WriteComponentProperty(QObject* component, const QString& name, const QString& text) {
  std::optional<TAccessor> a = Resolve(component, name);
  return a && a->Write(text);
}

}  // namespace pw
