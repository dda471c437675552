#pragma once

#include "rotation/RunFace.h"

class Form1;

// The run as the main window shows it: the status box txtStatus, the panes and their totals, the
// tick boxes, message boxes through the prompter seam and the yield through the yield seam.
// The status box shows each "\r\n" of the run's texts as one line break, and statusText gives
// them back with their "\r\n"; no text the run writes holds a lone "\r" or "\n", so nothing is
// lost either way.
class WindowFace : public RunFace {
public:
    explicit WindowFace(Form1& form) : m_form(form) {}

    // Replaces the whole text and shows the box (it then stays visible), scrolled to its last
    // line.
    void replaceStatus(const QString& text) override;
    void appendStatus(const QString& message) override;
    void showStatus() override;
    // Shows the run's last line so far at the top of the box: the box holds three lines, so the
    // user sees how the run ended and the start of the first line after it.
    void appendRunEnd(const QStringList& lines) override;
    QString statusText() const override;
    void setStatusColour(const QColor& colour) override;
    QColor statusColour() const;
    // Paints what has changed since the last paint.
    void repaint() override;
    QObject* paintedWindow() override;

    QString musicFolder() const override;
    QString playerFolder(std::uint8_t which) const override;
    bool playerTicked(std::uint8_t which) const override;
    QString playerDrive(std::uint8_t which) const override;
    void openPlayerDrive(std::uint8_t which, const QString& drive) override;
    bool doNotWarn() const override;
    void refreshMusicPane() override;
    void refreshPlayerPane(std::uint8_t which) override;
    void runStateChanged() override;

    MessageAnswer ask(const MessageRequest& request) override;
    void yieldEvents() override;

private:
    Form1& m_form;
};
