// Draws the bundled sample page: lines of figures in DejaVu Sans on white,
// as a 300 dpi grey PNG, and writes its ground truth beside it.
//
//   make-sample-page OUTPUT.png OUTPUT.txt FONT.ttf

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

const char* const kLines[] = {
    "2024/03/15 1,250.00", "47.5 12/08 3.14159", "86,400 65,535 255",
    "0.125 1/4 7,000.01",  "31/12/1999 42 908",  "6.02 299,792 1.618",
};

constexpr int kDotsPerInch = 300;
constexpr int kPointSize = 12;

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 4) {
    qWarning("usage: make-sample-page OUTPUT.png OUTPUT.txt FONT.ttf");
    return 2;
  }
  const int id = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[3]));
  if (id < 0) {
    qWarning("cannot load the font %s", argv[3]);
    return 1;
  }
  QFont font(QFontDatabase::applicationFontFamilies(id).first());
  font.setPixelSize(kPointSize * kDotsPerInch / 72);
  font.setHintingPreference(QFont::PreferNoHinting);

  const QFontMetrics metrics(font);
  const int margin = kDotsPerInch / 4;
  const int lineStep = metrics.height() * 3 / 2;
  int width = 0;
  for (const char* line : kLines)
    width = std::max(width, metrics.horizontalAdvance(QString::fromLatin1(line)));
  const int lineCount = static_cast<int>(std::size(kLines));
  QImage page(width + 2 * margin, lineCount * lineStep + 2 * margin, QImage::Format_Grayscale8);
  page.fill(Qt::white);
  page.setDotsPerMeterX(static_cast<int>(kDotsPerInch / 0.0254 + 0.5));
  page.setDotsPerMeterY(static_cast<int>(kDotsPerInch / 0.0254 + 0.5));

  QPainter painter(&page);
  painter.setFont(font);
  painter.setPen(Qt::black);
  QString truth;
  for (int i = 0; i < lineCount; ++i) {
    painter.drawText(margin, margin + i * lineStep + metrics.ascent(), QString::fromLatin1(kLines[i]));
    truth += QString::fromLatin1(kLines[i]) + "\n";
  }
  painter.end();

  if (!page.save(QString::fromLocal8Bit(argv[1]), "PNG")) return 1;
  QFile text(QString::fromLocal8Bit(argv[2]));
  if (!text.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
  QTextStream(&text) << truth;
  return 0;
}
