// SPDX-License-Identifier: Apache-2.0
// Draws the tool's artwork: the product logo (143 x 39), the small logo (57 x 39) and the
// application icon at the usual sizes. Run once with the output folder; the PNGs are kept in
// the repository.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kDeep(0x12, 0x3a, 0x5e);
const QColor kTeal(0x11, 0x7a, 0x7f);
const QColor kGold(0xe6, 0xb4, 0x3c);

// An SD card seen from the front: notched top-right corner and eight contacts along the top.
QPainterPath CardPath(const QRectF& r) {
    const qreal notch = r.width() * 0.28;
    const qreal round = r.width() * 0.08;
    QPainterPath path;
    path.moveTo(r.left() + round, r.top());
    path.lineTo(r.right() - notch, r.top());
    path.lineTo(r.right(), r.top() + notch);
    path.lineTo(r.right(), r.bottom() - round);
    path.quadTo(r.right(), r.bottom(), r.right() - round, r.bottom());
    path.lineTo(r.left() + round, r.bottom());
    path.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - round);
    path.lineTo(r.left(), r.top() + round);
    path.quadTo(r.left(), r.top(), r.left() + round, r.top());
    return path;
}

void DrawCard(QPainter& p, const QRectF& r, const QColor& body, const QColor& outline, bool letter) {
    p.setPen(QPen(outline, std::max<qreal>(1.0, r.width() / 24)));
    p.setBrush(body);
    p.drawPath(CardPath(r));
    const qreal contactWidth = r.width() * 0.075;
    const qreal gap = r.width() * 0.035;
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    for (int i = 0; i < 6; ++i) {
        QRectF contact(r.left() + r.width() * 0.1 + i * (contactWidth + gap), r.top() + r.height() * 0.07,
                       contactWidth, r.height() * 0.2);
        p.drawRect(contact);
    }
    if (!letter) return;
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(static_cast<int>(r.height() * 0.55));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.3, r.width(), r.height() * 0.66), Qt::AlignCenter, "T");
}

void DrawBand(QPainter& p, const QRectF& r) {
    QLinearGradient gradient(r.topLeft(), r.topRight());
    gradient.setColorAt(0, kDeep);
    gradient.setColorAt(1, kTeal);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(r, 5, 5);
}

// A transparent picture drawn by `draw` with smooth edges and text.
template <typename Draw>
QImage Paint(int width, int height, Draw draw) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return image;
}

void DrawProductLogo(QPainter& p) {
    DrawBand(p, QRectF(0.5, 0.5, 142, 38));
    DrawCard(p, QRectF(9, 6, 21, 27), Qt::white, Qt::white, false);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(24);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(38, 0, 102, 39), Qt::AlignVCenter | Qt::AlignLeft, "Tavrin");
}

void DrawSmallLogo(QPainter& p) {
    DrawBand(p, QRectF(0.5, 0.5, 56, 38));
    DrawCard(p, QRectF(17, 5, 23, 29), kTeal, Qt::white, true);
}

QImage Icon(int size) {
    return Paint(size, size, [size](QPainter& p) {
        const qreal height = size * 0.92;
        const qreal width = height * 0.78;
        DrawCard(p, QRectF((size - width) / 2, (size - height) / 2, width, height), kTeal, kDeep, true);
    });
}

bool Save(const QImage& image, const QString& folder, const QString& name) {
    const QString path = folder + "/" + name;
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool ok = Save(Paint(143, 39, DrawProductLogo), folder, "logo.png") &&
              Save(Paint(57, 39, DrawSmallLogo), folder, "logo-small.png");
    for (int size : {16, 32, 48, 64, 128, 256}) ok = ok && Save(Icon(size), folder, QString("icon-%1.png").arg(size));
    return ok ? 0 : 1;
}
