#include "rotation/StatusBox.h"

#include "rotation/MusicRotation.h"
#include "rotation/RunFace.h"

void replaceStatus(MusicRotation& run, const QString& text) {
    run.face().replaceStatus(text);
}

void showStatus(MusicRotation& run) {
    run.face().showStatus();
}

void appendStatus(MusicRotation& run, const QString& message) {
    run.face().appendStatus(message);
}

void appendRunEnd(MusicRotation& run, const QStringList& lines) {
    run.face().appendRunEnd(lines);
}

QString statusText(const MusicRotation& run) {
    return run.face().statusText();
}

void setStatusColour(MusicRotation& run, const QColor& colour) {
    run.face().setStatusColour(colour);
}

void repaintWindow(MusicRotation& run) {
    run.face().repaint();
}
