#include "windowicon.h"

#include <QIconEngine>
#include <QList>
#include <QPainter>
#include <QPixmap>

namespace vorn {

namespace {

const int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// Knows the sizes from the start; reads the images into a plain QIcon the
// first time a picture is asked for, and hands every question on to it.
class ResourceIconEngine : public QIconEngine {
  public:
    ResourceIconEngine() = default;
    ResourceIconEngine(const ResourceIconEngine& other) : QIconEngine(other), icon_(other.icon_) {}

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return loaded().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return loaded().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        // `size` is in device pixels already.
        Q_UNUSED(scale);
        return loaded().pixmap(size, 1.0, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int size : kIconSizes)
            sizes << QSize(size, size);
        return sizes;
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("vornwick-resource"); }
    QIconEngine* clone() const override { return new ResourceIconEngine(*this); }

  private:
    const QIcon& loaded() {
        if (icon_.isNull())
            for (int size : kIconSizes)
                icon_.addFile(QStringLiteral(":/icons/vornwick-%1.png").arg(size),
                              QSize(size, size));
        return icon_;
    }

    QIcon icon_;
};

} // namespace

QIcon vornwickIcon() {
    return QIcon(new ResourceIconEngine);
}

} // namespace vorn
