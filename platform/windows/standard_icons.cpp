#include "platform/windows/standard_icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>

namespace lark {
namespace {

// A standard icon that asks the style for its pictures at the first question
// that needs them, then answers as that icon would.
class TDeferredStandardIcon : public QIconEngine {
 public:
  TDeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which, Qt::LayoutDirection direction)
      : style_(style), which_(which), direction_(direction) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, 1.0, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    return Icon().pixmap(size, scale, mode, state);
  }
  void addPixmap(const QPixmap& pixmap, QIcon::Mode mode, QIcon::State state) override {
    Icon().addPixmap(pixmap, mode, state);
  }
  void addFile(const QString& fileName, const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    Icon().addFile(fileName, size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Icon().availableSizes(mode, state);
  }
  QString iconName() override { return Icon().name(); }
  bool isNull() override { return Icon().isNull(); }
  QIconEngine* clone() const override { return new TDeferredStandardIcon(*this); }

 private:
  QIcon& Icon() {
    if (!resolved_) {
      resolved_ = true;
      QStyleOption option;
      option.direction = direction_;
      if (style_) icon_ = style_->standardIcon(which_, &option);
    }
    return icon_;
  }

  QPointer<QStyle> style_;
  QStyle::StandardPixmap which_;
  Qt::LayoutDirection direction_;
  bool resolved_ = false;
  QIcon icon_;
};

class TDeferredIconStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
    const Qt::LayoutDirection direction =
        option ? option->direction : widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
    return QIcon(new TDeferredStandardIcon(baseStyle(), which, direction));
  }
};

}  // namespace

void DeferStandardIcons() { QApplication::setStyle(new TDeferredIconStyle); }

}  // namespace lark
