#pragma once

#include <QMainWindow>

namespace velumo {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace velumo
