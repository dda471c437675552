#pragma once

#include "rotation/Prompter.h"

#include <QPointer>
#include <QWidget>

// Message boxes as real modal QMessageBox windows over the given parent.
class QtPrompter : public Prompter {
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    MessageAnswer ask(const MessageRequest& request) override;

private:
    QPointer<QWidget> m_parent;
};
