// TElidedLabel: a one-line label that never cuts its text off unseen. Where
// the text does not fit, it is shown shortened with "…" and the whole text is
// the label's tooltip; text() always gives the whole text.
#pragma once

#include <QLabel>

class TElidedLabel : public QLabel {
public:
    explicit TElidedLabel(QWidget* parent = nullptr, Qt::TextElideMode mode = Qt::ElideRight);

    // Whether the text is shown shortened at the label's present width.
    bool IsElided() const;
    // What the label shows: the text, shortened where it does not fit.
    QString ShownText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The tooltip holds the whole text while the label shortens it.
    void UpdateToolTip();

    Qt::TextElideMode FMode;
};
