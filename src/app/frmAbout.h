#pragma once
// The About window: product name, version and copyright, the maker's web
// address as a link, and a button that starts the system information tool.
// Modeless and single: every opening after an unload loads it afresh.

#include <QString>
#include <QWidget>
#include <cstdint>

class QLabel;
class QPushButton;

namespace tw {

class frmAbout : public QWidget {
    Q_OBJECT
public:
    // Where the system information tool is configured, in the settings
    // store's local-machine root (the file HKEY_LOCAL_MACHINE.json of the
    // store's folder): the tool's full path, or else the folder that holds
    // SysInfoProgram. Any program can be configured, e.g. a hardware
    // information viewer of the desktop.
    static const char* const SysInfoPathKey;     // value "PATH"
    static const char* const SysInfoFolderKey;   // value "MSINFO"
    static const char* const SysInfoProgram;     // "MSINFO32.EXE"
    static const char* const UnavailableMessage; // "System Information Is Unavailable At This Time"

    // The one About window, created and loaded on first use; `owner` is used
    // only when the window is created.
    static frmAbout* instance(QWidget* owner = nullptr);
    // The About window while it is loaded, else nullptr.
    static frmAbout* loaded();
    // Loads the window if needed, shows it modeless and brings it to the front.
    static frmAbout* display(QWidget* owner = nullptr);

    ~frmAbout() override;

    // Finds and starts the system information tool, or tells the user it is
    // not available.
    void StartSysInfo();
    // Reads the value `SubKeyRef` of the key `KeyName` under the settings
    // root `KeyRoot` into `KeyVal`; true when it was read. A text value
    // stored with a terminating NUL loses it; a 32-bit number comes as its
    // decimal text; a value of any other type leaves `KeyVal` as it was.
    bool GetKeyValue(uint32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void lblHLink_Click();

    QLabel* picIcon = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblDeveloperInfo = nullptr;
    QLabel* lblHLink = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmAbout(QWidget* owner);
    void unloadWindow();
};

} // namespace tw
