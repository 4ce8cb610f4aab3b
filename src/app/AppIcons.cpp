#include "app/AppIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <utility>

namespace tw {

namespace {

// Every glyph is drawn in a 16 x 16 box of logical units; the painter is
// scaled to the wanted size. Lines of width 1 sit on half units so that they
// fall on whole pixels at 16 and 32 pixels.

const QColor kInk(58, 66, 78);
const QColor kPaper(255, 255, 255);
const QColor kPaperShade(232, 236, 242);
const QColor kTextLine(140, 156, 178);
const QColor kFolder(246, 204, 92);
const QColor kFolderLight(252, 226, 140);
const QColor kFolderEdge(168, 120, 36);
const QColor kBlue(47, 111, 208);
const QColor kBlueDark(28, 68, 140);
const QColor kGreen(46, 158, 72);
const QColor kGreenDark(24, 104, 44);
const QColor kRed(214, 58, 58);
const QColor kRedDark(150, 30, 30);
const QColor kOrange(240, 150, 40);

QPen pen(const QColor& c, double width = 1.0)
{
    QPen p(c, width);
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    return p;
}

// A sheet of paper with a folded top-right corner.
void page(QPainter& p, double l, double t, double r, double b, const QColor& fill = kPaper)
{
    const double fold = 3.0;
    QPainterPath path;
    path.moveTo(l, t);
    path.lineTo(r - fold, t);
    path.lineTo(r, t + fold);
    path.lineTo(r, b);
    path.lineTo(l, b);
    path.closeSubpath();
    p.setPen(pen(kInk));
    p.setBrush(fill);
    p.drawPath(path);
    p.setBrush(kPaperShade);
    QPainterPath corner;
    corner.moveTo(r - fold, t);
    corner.lineTo(r - fold, t + fold);
    corner.lineTo(r, t + fold);
    p.drawPath(corner);
}

// Lines of text on a page.
void textLines(QPainter& p, double l, double r, double top, int count, double gap = 2.0)
{
    p.setPen(pen(kTextLine));
    for (int i = 0; i < count; ++i) {
        const double y = top + i * gap;
        p.drawLine(QPointF(l, y), QPointF(i == count - 1 ? (l + r) / 2 : r, y));
    }
}

void folderBack(QPainter& p, double l, double t, double r, double b)
{
    QPainterPath path;
    path.moveTo(l, t + 1);
    path.lineTo(l, t - 1);
    path.lineTo(l + 5, t - 1);
    path.lineTo(l + 6, t);
    path.lineTo(r, t);
    path.lineTo(r, b);
    path.lineTo(l, b);
    path.closeSubpath();
    p.setPen(pen(kFolderEdge));
    p.setBrush(kFolder);
    p.drawPath(path);
}

void folderClosed(QPainter& p, double l, double t, double r, double b)
{
    folderBack(p, l, t, r, b);
    p.setPen(pen(kFolderEdge));
    p.setBrush(kFolderLight);
    p.drawRect(QRectF(l, t + 2, r - l, b - t - 2));
}

void folderOpenFront(QPainter& p, double l, double t, double r, double b)
{
    QPolygonF front;
    front << QPointF(l + 2.5, t) << QPointF(r + 1, t) << QPointF(r - 1, b) << QPointF(l, b);
    p.setPen(pen(kFolderEdge));
    p.setBrush(kFolderLight);
    p.drawPolygon(front);
}

// A filled arrow from `from` to `to`, with a head of the given size.
void arrow(QPainter& p, QPointF from, QPointF to, const QColor& fill, const QColor& edge, double shaft = 2.4,
           double head = 4.5)
{
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    const double len = std::hypot(dx, dy);
    if (len <= 0)
        return;
    const QPointF u(dx / len, dy / len);
    const QPointF n(-u.y(), u.x());
    const QPointF base = to - u * head;
    QPolygonF poly;
    poly << from + n * (shaft / 2) << base + n * (shaft / 2) << base + n * (head * 0.85) << to
         << base - n * (head * 0.85) << base - n * (shaft / 2) << from - n * (shaft / 2);
    p.setPen(pen(edge));
    p.setBrush(fill);
    p.drawPolygon(poly);
}

void disk(QPainter& p)
{
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    QLinearGradient g(0, 1, 0, 15);
    g.setColorAt(0, QColor(88, 140, 214));
    g.setColorAt(1, kBlueDark);
    p.setPen(pen(kBlueDark));
    p.setBrush(g);
    p.drawPath(body);
    p.setBrush(QColor(214, 220, 228));
    p.drawRect(QRectF(4.5, 1.5, 7, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlueDark);
    p.drawRect(QRectF(9, 2.5, 1.5, 2.5));
    p.setPen(pen(kBlueDark));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.5, 8.5, 9, 6));
    textLines(p, 5, 11, 10.5, 2);
}

void pencil(QPainter& p, QPointF tip, double angleDeg, double length = 11)
{
    p.save();
    p.translate(tip);
    p.rotate(angleDeg);
    // The pencil lies along +x from its tip.
    QPolygonF wood;
    wood << QPointF(0, 0) << QPointF(3, -1.6) << QPointF(3, 1.6);
    p.setPen(pen(kInk, 0.8));
    p.setBrush(QColor(240, 214, 170));
    p.drawPolygon(wood);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF() << QPointF(0, 0) << QPointF(1.1, -0.6) << QPointF(1.1, 0.6));
    p.setBrush(kOrange);
    p.drawRect(QRectF(3, -1.6, length - 5, 3.2));
    p.setBrush(QColor(236, 130, 150));
    p.drawRect(QRectF(length - 2, -1.6, 2, 3.2));
    p.restore();
}

void roundBadge(QPainter& p, const QColor& light, const QColor& dark)
{
    QRadialGradient g(QPointF(6, 5), 9);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(pen(dark.darker(130)));
    p.setBrush(g);
    p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
}

void windowFrame(QPainter& p, double l, double t, double r, double b, const QColor& title = kBlue)
{
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(l, t, r - l, b - t));
    p.setPen(Qt::NoPen);
    p.setBrush(title);
    p.drawRect(QRectF(l + 0.5, t + 0.5, r - l - 1, 2));
}

// A small line chart inside a rectangle (two series).
void miniChart(QPainter& p, double l, double t, double r, double b)
{
    const double w = r - l;
    const double h = b - t;
    p.setPen(pen(kTextLine, 0.8));
    p.drawLine(QPointF(l, b), QPointF(r, b));
    p.drawLine(QPointF(l, t), QPointF(l, b));
    QPolygonF sum;
    sum << QPointF(l + 0.5, b - h * 0.2) << QPointF(l + w * 0.4, b - h * 0.25) << QPointF(l + w * 0.65, b - h * 0.8)
        << QPointF(r, b - h * 0.95);
    p.setPen(pen(kBlue, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(sum);
    QPolygonF leg;
    leg << QPointF(l + 0.5, b - h * 0.7) << QPointF(l + w * 0.5, b - h * 0.55) << QPointF(r, b - h * 0.3);
    p.setPen(pen(kOrange, 1.0));
    p.drawPolyline(leg);
}

// --- the pictures ----------------------------------------------------------

void drawHelpIndex(QPainter& p)
{
    page(p, 1.5, 0.5, 11.5, 14.5);
    textLines(p, 3.5, 9.5, 4.5, 4);
    // A lens over the lower right corner: looking things up.
    p.setPen(pen(kInk, 2.2));
    p.drawLine(QPointF(12.2, 12.2), QPointF(14.8, 14.8));
    p.setPen(pen(kBlueDark, 1.2));
    p.setBrush(QColor(200, 225, 250, 220));
    p.drawEllipse(QPointF(10, 10), 3.2, 3.2);
}

void drawOptionsExchange(QPainter& p)
{
    // A classical exchange building: pediment, four columns, steps.
    p.setPen(pen(kBlueDark));
    p.setBrush(QColor(214, 226, 244));
    p.drawPolygon(QPolygonF() << QPointF(1.5, 5.5) << QPointF(8, 1.5) << QPointF(14.5, 5.5));
    p.setBrush(QColor(236, 242, 250));
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(2.5 + i * 3.2, 6.5, 1.6, 5.5));
    p.setBrush(QColor(190, 206, 232));
    p.drawRect(QRectF(1.5, 12.5, 13, 1.5));
    p.drawRect(QRectF(0.5, 14, 15, 1.2));
}

void drawResources(QPainter& p)
{
    // A globe.
    QRadialGradient g(QPointF(6, 5.5), 9);
    g.setColorAt(0, QColor(190, 225, 255));
    g.setColorAt(1, QColor(60, 130, 210));
    p.setPen(pen(kBlueDark));
    p.setBrush(g);
    p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kBlueDark, 0.8));
    p.drawEllipse(QPointF(8, 8), 3, 6.8);
    p.drawLine(QPointF(8, 1.2), QPointF(8, 14.8));
    p.drawLine(QPointF(1.2, 8), QPointF(14.8, 8));
    p.drawLine(QPointF(2.3, 4.6), QPointF(13.7, 4.6));
    p.drawLine(QPointF(2.3, 11.4), QPointF(13.7, 11.4));
    // Land in green.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 170, 80, 200));
    QPainterPath land;
    land.moveTo(4, 5);
    land.cubicTo(5.5, 3.5, 8, 4.5, 7, 6.5);
    land.cubicTo(6.5, 8, 5, 9.5, 4.5, 11);
    land.cubicTo(3.2, 9.5, 3, 7, 4, 5);
    land.moveTo(10, 8.5);
    land.cubicTo(12, 8, 13, 9.5, 12, 11.5);
    land.cubicTo(11, 12.5, 9.5, 11, 10, 8.5);
    p.drawPath(land);
}

void openFolderWith(QPainter& p, const std::function<void(QPainter&)>& content)
{
    folderBack(p, 0.5, 5.5, 13.5, 14.5);
    page(p, 4.5, 1.5, 13.5, 11.5);
    content(p);
    folderOpenFront(p, 0.5, 8.5, 14.5, 14.5);
}

void drawLoadOptions(QPainter& p)
{
    // An open folder holding a quote table.
    openFolderWith(p, [](QPainter& q) {
        q.setPen(pen(kBlue, 0.8));
        for (double y = 4; y <= 8.5; y += 1.5)
            q.drawLine(QPointF(6, y), QPointF(12, y));
        q.drawLine(QPointF(8.5, 3.5), QPointF(8.5, 8.5));
    });
}

void drawLoadStrategies(QPainter& p)
{
    // An open folder holding a strategy tree.
    openFolderWith(p, [](QPainter& q) {
        q.setPen(pen(kGreenDark, 0.8));
        q.drawLine(QPointF(6.5, 4), QPointF(6.5, 8));
        q.drawLine(QPointF(6.5, 6), QPointF(9, 6));
        q.drawLine(QPointF(6.5, 8), QPointF(9, 8));
        q.setPen(Qt::NoPen);
        q.setBrush(kGreen);
        q.drawRect(QRectF(5.5, 3, 2, 2));
        q.drawRect(QRectF(9, 5, 2.5, 2));
        q.drawRect(QRectF(9, 7, 2.5, 2));
    });
}

void drawSave(QPainter& p)
{
    disk(p);
}

void drawSaveAs(QPainter& p)
{
    disk(p);
    // A pencil over the label: save under a new name.
    p.setPen(pen(kPaper, 3.0));
    p.drawLine(QPointF(8.5, 15), QPointF(15, 8.5));
    pencil(p, QPointF(8.3, 15.2), -45, 9.5);
}

void drawHelp(QPainter& p)
{
    roundBadge(p, QColor(120, 180, 250), kBlue);
    QPainterPath q;
    q.moveTo(5.6, 6.0);
    q.arcTo(QRectF(5.6, 3.4, 5, 5), 180, -225);
    q.lineTo(8.1, 9.4);
    p.setPen(pen(kPaper, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(q);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8.1, 12.0), 1.1, 1.1);
}

void drawCopy(QPainter& p)
{
    page(p, 1.5, 0.5, 10.5, 11.5);
    textLines(p, 3.5, 8.5, 4.5, 3);
    page(p, 5.5, 4.5, 14.5, 15.5);
    textLines(p, 7.5, 12.5, 8.5, 3);
}

void drawCut(QPainter& p)
{
    // Scissors: two blades crossing above two handles.
    p.setPen(pen(QColor(120, 128, 140), 1.4));
    p.drawLine(QPointF(5.6, 10.2), QPointF(10.8, 1.2));
    p.drawLine(QPointF(10.4, 10.2), QPointF(5.2, 1.2));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(8, 6.6), 0.8, 0.8);
    p.setPen(pen(kRed, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.6, 12.2), 2.4, 2.4);
    p.drawEllipse(QPointF(11.4, 12.2), 2.4, 2.4);
}

void drawPaste(QPainter& p)
{
    p.setPen(pen(QColor(110, 74, 30)));
    p.setBrush(QColor(196, 146, 84));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
    p.setBrush(QColor(200, 204, 210));
    p.setPen(pen(kInk));
    p.drawRoundedRect(QRectF(4.5, 1, 4, 3), 0.8, 0.8);
    page(p, 6.5, 6.5, 14.5, 15.5);
    textLines(p, 8.5, 12.5, 10.0, 3);
}

void drawDerivativesExchange(QPainter& p)
{
    // A domed exchange hall with tall windows.
    p.setPen(pen(QColor(120, 60, 30)));
    p.setBrush(QColor(206, 96, 60));
    QPainterPath dome;
    dome.moveTo(3.5, 6.5);
    dome.arcTo(QRectF(3.5, 1.5, 9, 10), 180, -180);
    dome.closeSubpath();
    p.drawPath(dome);
    p.drawLine(QPointF(8, 1.5), QPointF(8, 0.3));
    p.setBrush(QColor(246, 228, 200));
    p.drawRect(QRectF(1.5, 6.5, 13, 8));
    p.setBrush(QColor(120, 60, 30));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(3.5 + i * 3.5, 8.5, 1.8, 4.5), 0.8, 0.8);
    p.setPen(pen(QColor(120, 60, 30)));
    p.drawLine(QPointF(0.5, 14.5), QPointF(15.5, 14.5));
}

void drawFinancePortal(QPainter& p)
{
    // A web page with a rising price line.
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 1.5, 15, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 60, 170));
    p.drawRect(QRectF(1, 2, 14, 2.5));
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(2.6, 3.25), 0.6, 0.6);
    p.setPen(pen(kGreen, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF() << QPointF(2.5, 12.5) << QPointF(5.5, 9.5) << QPointF(8, 11) << QPointF(13, 6.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF() << QPointF(14.2, 5.5) << QPointF(10.8, 6.2) << QPointF(13.3, 8.6));
}

void drawRename(QPainter& p)
{
    // A text line with a pencil writing on it.
    p.setPen(pen(kInk, 1.0));
    p.drawLine(QPointF(1.5, 14.5), QPointF(9.5, 14.5));
    pencil(p, QPointF(2.5, 13.0), -45, 13);
}

void drawDelete(QPainter& p)
{
    for (const auto& [color, width] : {std::pair{kRedDark, 3.6}, std::pair{kRed, 2.0}}) {
        p.setPen(pen(color, width));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    }
}

void drawAdd(QPainter& p)
{
    for (const auto& [color, width] : {std::pair{kGreenDark, 4.0}, std::pair{QColor(80, 196, 100), 2.2}}) {
        p.setPen(pen(color, width));
        p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
        p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
    }
}

void drawMinimizeAll(QPainter& p)
{
    windowFrame(p, 1.5, 0.5, 9.5, 6.5);
    windowFrame(p, 6.5, 2.5, 14.5, 8.5);
    arrow(p, QPointF(8, 8.5), QPointF(8, 14), kBlue, kBlueDark, 2.2, 3.5);
    p.setPen(pen(kInk, 1.4));
    p.drawLine(QPointF(2, 15), QPointF(14, 15));
}

void drawExit(QPainter& p)
{
    // An open door with an arrow leaving through it.
    p.setPen(pen(kInk));
    p.setBrush(QColor(226, 230, 236));
    p.drawRect(QRectF(1.5, 1.5, 8, 13));
    p.setPen(pen(QColor(96, 58, 24)));
    p.setBrush(QColor(160, 100, 50));
    p.drawPolygon(QPolygonF() << QPointF(1.5, 1.5) << QPointF(6.5, 3) << QPointF(6.5, 15.5) << QPointF(1.5, 14.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 220, 120));
    p.drawEllipse(QPointF(5.3, 9), 0.7, 0.7);
    arrow(p, QPointF(7.5, 8), QPointF(15.5, 8), kRed, kRedDark, 2.4, 4.0);
}

void drawShift(QPainter& p, bool up)
{
    const QColor fill = up ? kGreen : kOrange;
    const QColor edge = up ? kGreenDark : QColor(160, 90, 10);
    if (up)
        arrow(p, QPointF(8, 15), QPointF(8, 1), fill, edge, 5.0, 6.5);
    else
        arrow(p, QPointF(8, 1), QPointF(8, 15), fill, edge, 5.0, 6.5);
}

void draw3DChart(QPainter& p)
{
    // A profit/loss surface over price (across) and date (into the picture,
    // towards the upper left), rising with the price like a long call's;
    // drawn row by row from the back and coloured from loss to profit.
    static const double payoff[5] = {0.0, 0.4, 1.6, 3.6, 6.0};
    auto height = [](int i, int j) { return payoff[i] * (1.0 - 0.1 * j) + 0.4 * j; };
    auto point = [&](int i, int j) { return QPointF(4.5 + 2.5 * i - 1.4 * j, 14.5 - 1.6 * j - height(i, j)); };
    p.setPen(pen(kTextLine, 0.8));
    p.drawLine(QPointF(4.5, 15.3), QPointF(15.2, 15.3));
    p.drawLine(QPointF(4.5, 15.3), QPointF(0.3, 10.5));
    for (int j = 2; j >= 0; --j) {
        for (int i = 0; i < 4; ++i) {
            QPolygonF quad;
            quad << point(i, j) << point(i + 1, j) << point(i + 1, j + 1) << point(i, j + 1);
            const double h = (height(i, j) + height(i + 1, j) + height(i, j + 1) + height(i + 1, j + 1)) / 4;
            const double t = std::clamp(h / 5.0, 0.0, 1.0);
            QColor c;
            c.setHsvF(static_cast<float>(0.02 + 0.3 * t), 0.75f, static_cast<float>(0.95 - 0.12 * t));
            p.setPen(pen(kInk, 0.5));
            p.setBrush(c);
            p.drawPolygon(quad);
        }
    }
}

void drawAbout(QPainter& p)
{
    roundBadge(p, QColor(130, 210, 200), QColor(20, 130, 130));
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8, 4.6), 1.25, 1.25);
    p.drawRoundedRect(QRectF(6.9, 6.7, 2.2, 6.3), 0.6, 0.6);
    p.drawRect(QRectF(6.2, 12, 3.6, 1.0));
}

void drawStrategyGroup(QPainter& p)
{
    folderClosed(p, 1.5, 3.5, 14.5, 13.5);
}

void drawMoveTo(QPainter& p)
{
    folderClosed(p, 5.5, 4.5, 15.5, 13.5);
    arrow(p, QPointF(0.5, 9.5), QPointF(10, 9.5), kBlue, kBlueDark, 2.6, 4.2);
}

void drawExport(QPainter& p)
{
    page(p, 0.5, 0.5, 9.5, 15.5);
    textLines(p, 2.5, 7.5, 4.5, 2);
    arrow(p, QPointF(5, 10.5), QPointF(15.5, 10.5), kGreen, kGreenDark, 2.6, 4.2);
}

void drawImport(QPainter& p)
{
    page(p, 6.5, 0.5, 15.5, 15.5);
    textLines(p, 8.5, 13.5, 4.5, 2);
    arrow(p, QPointF(0.5, 10.5), QPointF(11, 10.5), kBlue, kBlueDark, 2.6, 4.2);
}

void drawExportSpreadsheet(QPainter& p)
{
    // A worksheet with a green heading row and column.
    p.setPen(pen(kGreenDark));
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 0.5, 12, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 196, 130));
    p.drawRect(QRectF(1, 1, 11, 2.5));
    p.drawRect(QRectF(1, 1, 3, 11));
    p.setPen(pen(QColor(100, 160, 110), 0.7));
    for (double y = 3.5; y < 12.5; y += 3)
        p.drawLine(QPointF(0.5, y), QPointF(12.5, y));
    for (double x = 4; x < 12.5; x += 4)
        p.drawLine(QPointF(x, 0.5), QPointF(x, 12.5));
    arrow(p, QPointF(6, 13), QPointF(15.8, 13), kGreen, kGreenDark, 2.2, 3.6);
}

void drawNewChart(QPainter& p)
{
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(0.5, 2.5, 13, 13));
    miniChart(p, 2.5, 5, 12.5, 13.5);
    // A small plus in the corner: a new window.
    for (const auto& [color, width] : {std::pair{kGreenDark, 2.8}, std::pair{QColor(80, 196, 100), 1.4}}) {
        p.setPen(pen(color, width));
        p.drawLine(QPointF(13, 0.8), QPointF(13, 5.2));
        p.drawLine(QPointF(10.8, 3), QPointF(15.2, 3));
    }
}

void drawChartWindows(QPainter& p)
{
    windowFrame(p, 0.5, 0.5, 10.5, 9.5);
    windowFrame(p, 5.5, 5.5, 15.5, 15.5);
    miniChart(p, 7, 9.5, 14.5, 14.5);
}

void drawMainWindow(QPainter& p)
{
    windowFrame(p, 0.5, 1.5, 15.5, 14.5);
    // A tree pane on the left and a grid on the right.
    p.setPen(pen(kTextLine, 0.8));
    p.drawLine(QPointF(5.5, 4), QPointF(5.5, 14));
    p.setPen(pen(kGreen, 0.9));
    for (double y = 5.5; y < 13; y += 2)
        p.drawLine(QPointF(2, y), QPointF(4.5, y));
    p.setPen(pen(kTextLine, 0.7));
    for (double y = 6; y < 14; y += 2)
        p.drawLine(QPointF(6.5, y), QPointF(14.5, y));
    p.drawLine(QPointF(10.5, 4.5), QPointF(10.5, 13.5));
}

using Painter = void (*)(QPainter&);

const std::map<int, Painter>& painters()
{
    static const std::map<int, Painter> table = {
        {AppIcons::HelpIndex, drawHelpIndex},
        {AppIcons::LinkOptionsExchange, drawOptionsExchange},
        {AppIcons::LinkResources, drawResources},
        {AppIcons::LoadOptions, drawLoadOptions},
        {AppIcons::LoadStrategies, drawLoadStrategies},
        {AppIcons::Save, drawSave},
        {AppIcons::SaveAs, drawSaveAs},
        {AppIcons::Help, drawHelp},
        {AppIcons::Copy, drawCopy},
        {AppIcons::Cut, drawCut},
        {AppIcons::Paste, drawPaste},
        {AppIcons::LinkDerivativesExchange, drawDerivativesExchange},
        {AppIcons::LinkFinancePortal, drawFinancePortal},
        {AppIcons::Rename, drawRename},
        {AppIcons::Delete, drawDelete},
        {AppIcons::Add, drawAdd},
        {AppIcons::MinimizeAll, drawMinimizeAll},
        {AppIcons::Exit, drawExit},
        {AppIcons::ShiftUp, [](QPainter& p) { drawShift(p, true); }},
        {AppIcons::ShiftDown, [](QPainter& p) { drawShift(p, false); }},
        {AppIcons::Chart3D, draw3DChart},
        {AppIcons::About, drawAbout},
        {AppIcons::StrategyGroup, drawStrategyGroup},
        {AppIcons::MoveTo, drawMoveTo},
        {AppIcons::Export, drawExport},
        {AppIcons::Import, drawImport},
        {AppIcons::ExportSpreadsheet, drawExportSpreadsheet},
        {AppIcons::NewChart, drawNewChart},
        {AppIcons::ChartWindows, drawChartWindows},
        {AppIcons::MainWindow, drawMainWindow},
    };
    return table;
}

QPixmap render(int size, Painter draw)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    p.end();
    return pm;
}

void drawProgram(QPainter& p)
{
    // A dark tile with a payoff diagram: the zero line, a butterfly's tent
    // and the smooth curve of its value before expiry.
    QLinearGradient g(0, 0, 16, 16);
    g.setColorAt(0, QColor(34, 78, 128));
    g.setColorAt(1, QColor(16, 40, 72));
    p.setPen(pen(QColor(12, 30, 56), 0.6));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.4, 0.4, 15.2, 15.2), 3.2, 3.2);
    p.setPen(pen(QColor(150, 180, 210, 200), 0.6));
    p.drawLine(QPointF(2, 10.5), QPointF(14, 10.5));
    p.drawLine(QPointF(2.5, 2.5), QPointF(2.5, 13.5));
    QPainterPath curve;
    curve.moveTo(2.5, 11.6);
    curve.cubicTo(6, 11.5, 6.5, 5.8, 8, 5.8);
    curve.cubicTo(9.5, 5.8, 10, 11.5, 13.5, 11.6);
    p.setPen(pen(QColor(120, 220, 150), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(pen(QColor(255, 176, 48), 1.5));
    p.drawPolyline(QPolygonF() << QPointF(2.5, 12.5) << QPointF(5.2, 12.5) << QPointF(8, 3.5) << QPointF(10.8, 12.5)
                               << QPointF(13.5, 12.5));
}

} // namespace

const QList<int>& AppIcons::indexes()
{
    static const QList<int> list = [] {
        QList<int> l;
        for (const auto& entry : painters())
            l.append(entry.first);
        return l;
    }();
    return list;
}

bool AppIcons::has(int index)
{
    return painters().count(index) != 0;
}

QPixmap AppIcons::pixmap(int index, int size)
{
    const auto it = painters().find(index);
    if (it == painters().end() || size <= 0)
        return {};
    return render(size, it->second);
}

QIcon AppIcons::icon(int index)
{
    // Drawn afresh for every call: the menus and the toolbar ask once each,
    // and no picture outlives the application object in a static cache.
    const auto it = painters().find(index);
    return it != painters().end() ? drawnIcon(it->second) : QIcon();
}

QIcon AppIcons::drawnIcon(void (*draw)(QPainter&))
{
    QIcon icon;
    if (draw == nullptr)
        return icon;
    icon.addPixmap(render(16, draw));
    icon.addPixmap(render(32, draw));
    return icon;
}

QPixmap AppIcons::programPixmap(int size)
{
    if (size <= 0)
        return {};
    return render(size, drawProgram);
}

QIcon AppIcons::programIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(programPixmap(size));
    return icon;
}

} // namespace tw
