// A part of a window that gives way in a short window watches the height of
// the area it is in.
#pragma once

#include <QEvent>
#include <QObject>
#include <QResizeEvent>
#include <QWidget>

#include <functional>
#include <utility>

// Tells whether a widget has at least a given height each time it is resized.
class TRoomWatch : public QObject {
public:
    TRoomWatch(QWidget* watched, int room, std::function<void(bool)> changed)
        : QObject(watched), FRoom(room), FChanged(std::move(changed)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            const bool room = static_cast<QResizeEvent*>(event)->size().height() >= FRoom;
            if (room != FHadRoom) {
                FHadRoom = room;
                FChanged(room);
            }
        }
        return false;
    }

private:
    int FRoom;
    std::function<void(bool)> FChanged;
    bool FHadRoom = true;
};
