#include "ui/kelvo_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace kelvo {

namespace {

constexpr int kSize = 32;  // drawn large, scaled down by Qt where a toolbar wants 16 or 24

// A modem: a flat box with a front panel and two lit lamps.
void DrawModem(QPainter& p) {
  QLinearGradient body(0, 10, 0, 26);
  body.setColorAt(0, QColor(236, 240, 245));
  body.setColorAt(1, QColor(160, 172, 190));
  p.setPen(QPen(QColor(60, 70, 90), 1.5));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(2.5, 11.5, 27, 13), 3, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 190, 60));
  p.drawEllipse(QPointF(8, 18), 2.2, 2.2);
  p.setBrush(QColor(250, 180, 30));
  p.drawEllipse(QPointF(14, 18), 2.2, 2.2);
  p.setPen(QPen(QColor(60, 70, 90), 1.5));
  p.drawLine(QPointF(19, 18), QPointF(26, 18));
  p.drawLine(QPointF(24, 11), QPointF(27, 5));  // antenna
}

// A script: a sheet with a folded corner and lines of text.
void DrawScript(QPainter& p) {
  QPainterPath sheet;
  sheet.moveTo(6.5, 2.5);
  sheet.lineTo(20.5, 2.5);
  sheet.lineTo(26.5, 8.5);
  sheet.lineTo(26.5, 29.5);
  sheet.lineTo(6.5, 29.5);
  sheet.closeSubpath();
  p.setPen(QPen(QColor(70, 80, 100), 1.5));
  p.setBrush(QColor(255, 255, 250));
  p.drawPath(sheet);
  p.drawLine(QPointF(20.5, 2.5), QPointF(20.5, 8.5));
  p.drawLine(QPointF(20.5, 8.5), QPointF(26.5, 8.5));
  p.setPen(QPen(QColor(40, 100, 200), 2));
  for (int y = 13; y <= 25; y += 4) p.drawLine(QPointF(10, y), QPointF(y == 25 ? 17 : 23, y));
}

void DrawRun(QPainter& p) {
  QPainterPath triangle;
  triangle.moveTo(8, 4);
  triangle.lineTo(28, 16);
  triangle.lineTo(8, 28);
  triangle.closeSubpath();
  p.setPen(QPen(QColor(20, 110, 30), 1.5));
  p.setBrush(QColor(60, 180, 70));
  p.drawPath(triangle);
}

// A red square with rounded corners, as players and terminals show Stop.
void DrawStop(QPainter& p) {
  p.setPen(QPen(QColor(140, 20, 20), 1.5));
  p.setBrush(QColor(215, 45, 40));
  p.drawRoundedRect(QRectF(6.5, 6.5, 19, 19), 3, 3);
}

// A pencil lying across the picture.
void DrawPencil(QPainter& p) {
  p.save();
  p.translate(16, 16);
  p.rotate(-45);
  p.setPen(QPen(QColor(90, 60, 20), 1.2));
  p.setBrush(QColor(250, 190, 40));
  p.drawRect(QRectF(-9, -4, 17, 8));
  p.setBrush(QColor(230, 120, 120));
  p.drawRect(QRectF(-13, -4, 4, 8));
  QPainterPath tip;
  tip.moveTo(8, -4);
  tip.lineTo(14, 0);
  tip.lineTo(8, 4);
  tip.closeSubpath();
  p.setBrush(QColor(240, 220, 180));
  p.drawPath(tip);
  p.restore();
}

void DrawSave(QPainter& p) {
  p.setPen(QPen(QColor(30, 50, 110), 1.5));
  p.setBrush(QColor(60, 100, 200));
  p.drawRoundedRect(QRectF(3.5, 3.5, 25, 25), 2, 2);
  p.setBrush(QColor(245, 245, 245));
  p.drawRect(QRectF(8.5, 3.5, 15, 9));
  p.drawRect(QRectF(7.5, 17.5, 17, 11));
}

// A small green plus or red cross in the bottom-right corner, over another picture.
void DrawBadge(QPainter& p, bool add) {
  p.setPen(Qt::NoPen);
  p.setBrush(add ? QColor(40, 160, 50) : QColor(210, 40, 40));
  p.drawEllipse(QRectF(17, 17, 14, 14));
  p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
  if (add) {
    p.drawLine(QPointF(24, 20), QPointF(24, 28));
    p.drawLine(QPointF(20, 24), QPointF(28, 24));
  } else {
    p.drawLine(QPointF(21, 21), QPointF(27, 27));
    p.drawLine(QPointF(27, 21), QPointF(21, 27));
  }
}

QPixmap Draw(int image) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (image) {
    case kiModem:
      DrawModem(p);
      break;
    case kiScript:
      DrawScript(p);
      break;
    case kiRun:
      DrawRun(p);
      break;
    case kiEdit:
      DrawScript(p);
      DrawPencil(p);
      break;
    case kiSave:
      DrawSave(p);
      break;
    case kiAddScript:
      DrawScript(p);
      DrawBadge(p, true);
      break;
    case kiRemoveScript:
      DrawScript(p);
      DrawBadge(p, false);
      break;
    case kiAddModem:
      DrawModem(p);
      DrawBadge(p, true);
      break;
    case kiRemoveModem:
      DrawModem(p);
      DrawBadge(p, false);
      break;
    case kiStop:
      DrawStop(p);
      break;
    default:
      break;
  }
  return pixmap;
}

}  // namespace

// Each picture is drawn once: a large tree asks for the same two icons tens of thousands of times.
QIcon KelvoIcon(int image) {
  static std::array<QIcon, kiStop + 1> drawn;
  if (image < 0 || image > kiStop) return {};
  if (drawn[image].isNull()) drawn[image].addPixmap(Draw(image));
  return drawn[image];
}

// A modem sending waves towards a phone line, with the program's name.
QPixmap ProgramPicture() {
  QPixmap pixmap(96, 96);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 96);
  sky.setColorAt(0, QColor(70, 120, 200));
  sky.setColorAt(1, QColor(20, 50, 120));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(0, 0, 96, 96), 14, 14);
  p.save();
  p.translate(16, 36);
  p.scale(2, 2);
  DrawModem(p);
  p.restore();
  p.setPen(QPen(QColor(255, 255, 255, 200), 3, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  for (int r = 10; r <= 26; r += 8) p.drawArc(QRectF(66 - r, 30 - r, 2 * r, 2 * r), 20 * 16, 60 * 16);
  p.setPen(Qt::white);
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(16);
  p.setFont(font);
  p.drawText(QRectF(0, 72, 96, 20), Qt::AlignCenter, QStringLiteral("Kelvo"));
  return pixmap;
}

// A small smiling face, shown only to those who know where to click.
QPixmap HiddenPicturePixmap() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(120, 80, 0), 1.5));
  p.setBrush(QColor(255, 210, 40));
  p.drawEllipse(QRectF(2, 2, 28, 28));
  p.setBrush(QColor(60, 40, 0));
  p.drawEllipse(QPointF(11, 12), 2, 2.5);
  p.drawEllipse(QPointF(21, 12), 2, 2.5);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(9, 12, 14, 11), 200 * 16, 140 * 16);
  return pixmap;
}

}  // namespace kelvo
