// Proves the preview's DDS decoding: small BC1, BC3 and ARGB8888 textures exported by the program decode
// to the same pixels as an independent decoder (ImageMagick) gives for the same file.

#include <QtTest>
#include <cstdio>
#include <random>

#include "TestSupport.h"
#include "formats/Dds.h"
#include "formats/TextureGroup.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "ui/DdsImage.h"

using namespace pw;
using pw::test::Bytes;

namespace {

Bytes ImageMagickRgba(const std::string& path) {
  FILE* pipe = ::popen(("/usr/bin/convert '" + path + "' -depth 8 rgba:- 2>/dev/null").c_str(), "r");
  Bytes out;
  uint8_t buffer[4096];
  size_t n;
  while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.insert(out.end(), buffer, buffer + n);
  if (pipe) ::pclose(pipe);
  return out;
}

Bytes ExportedDds(uint8_t format, uint8_t ew, uint8_t eh, const Bytes& data) {
  Bytes tex = test::TextureOf(format, ew, eh, 0);
  tex.insert(tex.end(), data.begin(), data.end());
  TMemoryStream src(tex), dst;
  ExportTextureToDds(src, dst, 0);
  return dst.Bytes();
}

}  // namespace

class DdsImageTest : public QObject {
  Q_OBJECT
 private slots:
  void matchesImageMagick_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("ew");
    QTest::addColumn<int>("eh");
    QTest::newRow("ARGB8888 8x4") << 1 << 3 << 2;
    QTest::newRow("DXT1 8x8") << 6 << 3 << 3;
    QTest::newRow("DXT5 16x8") << 8 << 4 << 3;
    QTest::newRow("DXT1 2x2") << 6 << 1 << 1;
  }
  void matchesImageMagick() {
    QFETCH(int, format);
    QFETCH(int, ew);
    QFETCH(int, eh);
    if (!FileExists("/usr/bin/convert")) QSKIP("ImageMagick is not installed");
    const int w = 1 << ew, h = 1 << eh;
    std::mt19937 random(static_cast<unsigned>(format * 100 + ew * 10 + eh));
    Bytes data(LevelSize(format, w, h, 0));
    for (auto& b : data) b = static_cast<uint8_t>(random());
    if (format == 1)
      for (size_t i = 3; i < data.size(); i += 4) data[i] = 0xFF;  // opaque, so colours compare exactly
    const Bytes dds =
        ExportedDds(static_cast<uint8_t>(format), static_cast<uint8_t>(ew), static_cast<uint8_t>(eh), data);
    test::TempDir dir;
    test::WriteFileBytes(dir / "t.dds", dds);
    const Bytes reference = ImageMagickRgba(dir / "t.dds");
    QCOMPARE(reference.size(), size_t(w) * h * 4);
    const QImage image = DecodeDdsTopLevel(dds);
    QCOMPARE(image.size(), QSize(w, h));
    const int tolerance = format == 1 ? 0 : 3;  // block decoders may round interpolated colours differently
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint8_t* ref = &reference[(size_t(y) * w + x) * 4];
        const QRgb got = image.pixel(x, y);
        QVERIFY2(std::abs(qAlpha(got) - ref[3]) <= tolerance,
                 qPrintable(QString("alpha at %1,%2").arg(x).arg(y)));
        if (ref[3] == 0) continue;  // the colour of a fully transparent texel is not defined
        QVERIFY2(std::abs(qRed(got) - ref[0]) <= tolerance,
                 qPrintable(QString("red at %1,%2").arg(x).arg(y)));
        QVERIFY2(std::abs(qGreen(got) - ref[1]) <= tolerance,
                 qPrintable(QString("green at %1,%2").arg(x).arg(y)));
        QVERIFY2(std::abs(qBlue(got) - ref[2]) <= tolerance,
                 qPrintable(QString("blue at %1,%2").arg(x).arg(y)));
      }
  }

  void refusesWhatItCannotDecode() {
    QVERIFY_THROWS_EXCEPTION(Error, DecodeDdsTopLevel({}));
    Bytes dds = ExportedDds(6, 2, 2, Bytes(8, 0));
    dds.resize(130);
    QVERIFY_THROWS_EXCEPTION(Error, DecodeDdsTopLevel(dds));
    Bytes dxt3 = test::DdsOf(4, 4, 0x33545844, Bytes(16));
    QVERIFY_THROWS_EXCEPTION(Error, DecodeDdsTopLevel(dxt3));
  }
};

QTEST_MAIN(DdsImageTest)
#include "DdsImageTest.moc"
