#include "texts/ElidedLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

TElidedLabel::TElidedLabel(QWidget* parent, Qt::TextElideMode mode) : QLabel(parent), FMode(mode) {
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
}

bool TElidedLabel::IsElided() const {
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

QString TElidedLabel::ShownText() const {
    return fontMetrics().elidedText(text(), FMode, contentsRect().width());
}

QSize TElidedLabel::minimumSizeHint() const {
    // As narrow as "…" with a letter either side: the rest is shortened.
    const QSize full = QLabel::minimumSizeHint();
    return QSize(std::min(full.width(), fontMetrics().horizontalAdvance("M…M")), full.height());
}

void TElidedLabel::paintEvent(QPaintEvent*) {
    UpdateToolTip();
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, contentsRect(),
                          QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), ShownText(), foregroundRole());
}

void TElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    UpdateToolTip();
}

bool TElidedLabel::event(QEvent* event) {
    // A new text or font may fit, or no longer fit.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PolishRequest)
        UpdateToolTip();
    return QLabel::event(event);
}

void TElidedLabel::UpdateToolTip() {
    const QString tip = IsElided() ? text() : QString();
    if (toolTip() != tip)
        setToolTip(tip);
}
