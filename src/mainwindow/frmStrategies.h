#pragma once
// The main window. It does the program's start-up work in Form_Load and ends
// the program when it is closed.

#include <QMainWindow>

class QTimer;

namespace tw {

class frmStrategies : public QMainWindow {
    Q_OBJECT
public:
    // Creates the one main window and runs its start-up (Form_Load); a second
    // call returns the existing window.
    static frmStrategies* load();
    // The main window, or nullptr before load and after it was closed.
    static frmStrategies* instance();

    ~frmStrategies() override;

    // One-shot start-up timer (5000 ms), enabled by Main once the window shows.
    QTimer* DelayTimer = nullptr;

    void Form_Load();
    void DelayTimer_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmStrategies(QWidget* parent = nullptr);
};

} // namespace tw
