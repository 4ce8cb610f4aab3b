#pragma once
// The splash window: shown while the main window loads, unloaded once it is
// there. A click on it or its frame, or any key, dismisses it sooner.

#include <QFrame>

class QLabel;

namespace tw {

class frmSplash : public QFrame {
    Q_OBJECT
public:
    // The one splash window, created (and loaded) on first use.
    static frmSplash* instance();
    // The splash window while it is loaded, else nullptr.
    static frmSplash* loaded();
    // Unloads the splash window; nothing happens when it is not loaded (the
    // user may have dismissed it already).
    static void unload();

    ~frmSplash() override;

    void Form_Load();
    void Form_Click();
    void Form_KeyPress(int key);
    void Frame1_Click();

    QFrame* Frame1 = nullptr;
    QLabel* picTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblWarning = nullptr;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmSplash();
    void unloadWindow();
};

} // namespace tw
