// The about window: the product's picture and nothing else; the user closes it with its close box.
#pragma once

#include <QWidget>

class QLabel;

class form_about : public QWidget
{
    Q_OBJECT

public:
    /// A top-level window without minimise and maximise buttons, deleted when closed.
    explicit form_about(QWidget* parent = nullptr);

private:
    QLabel* Image1 = nullptr;
};
