#include "app/frmHelp.h"

#include "app/CFormRestore.h"
#include "app/HelpContents.h"
#include "app/HelpFile.h"
#include "app/Tools.h"

#include <QCoreApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tw {

namespace {
frmHelp* g_help = nullptr;
constexpr int UrlRole = Qt::UserRole + 1;

// A page inside the help folder.
bool isHelpPage(const QUrl& url)
{
    if (!url.isLocalFile())
        return false;
    const QString folder = QDir(helpFolder()).absolutePath();
    return QFileInfo(url.toLocalFile()).absolutePath() == folder && QFileInfo::exists(url.toLocalFile());
}
} // namespace

frmHelp* frmHelp::loaded()
{
    return g_help;
}

frmHelp* frmHelp::display(const QUrl& page)
{
    if (!isHelpPage(page))
        return nullptr;
    const bool created = g_help == nullptr;
    if (created)
        g_help = new frmHelp;
    frmHelp* w = g_help;
    if (created) {
        CFormRestore::restoreProgramWindow(w);
    }
    w->showPage(page);
    if (w->isMinimized())
        w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

frmHelp::frmHelp() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its main window: this window goes with it and
    // keeps its place.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QWidget::close);
    setWindowTitle(QStringLiteral("Tarnwell Help"));
    resize(960, 680);

    cmdBack = new QPushButton(QStringLiteral("Back"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdForward = new QPushButton(QStringLiteral("Forward"), this);
    cmdForward->setObjectName(QStringLiteral("cmdForward"));
    cmdContents = new QPushButton(QStringLiteral("Contents"), this);
    cmdContents->setObjectName(QStringLiteral("cmdContents"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdForward);
    buttons->addWidget(cmdContents);
    buttons->addStretch(1);

    tabNavigation = new QTabWidget;
    tabNavigation->setObjectName(QStringLiteral("tabNavigation"));
    tvContents = new QTreeWidget;
    tvContents->setObjectName(QStringLiteral("tvContents"));
    tvContents->setHeaderHidden(true);
    tabNavigation->addTab(tvContents, QStringLiteral("Contents"));
    auto* indexPage = new QWidget;
    txtIndex = new QLineEdit(indexPage);
    txtIndex->setObjectName(QStringLiteral("txtIndex"));
    txtIndex->setPlaceholderText(QStringLiteral("Type the keyword to find"));
    txtIndex->setClearButtonEnabled(true);
    lstIndex = new QListWidget(indexPage);
    lstIndex->setObjectName(QStringLiteral("lstIndex"));
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    indexLayout->addWidget(txtIndex);
    indexLayout->addWidget(lstIndex);
    tabNavigation->addTab(indexPage, QStringLiteral("Index"));

    txtPage = new QTextBrowser;
    txtPage->setObjectName(QStringLiteral("txtPage"));
    txtPage->setOpenExternalLinks(true); // web and mail links go to the desktop
    txtPage->setSearchPaths({helpFolder()});

    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(tabNavigation);
    split->addWidget(txtPage);
    split->setStretchFactor(1, 1);
    split->setSizes({260, 700});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(split, 1);

    connect(cmdBack, &QPushButton::clicked, txtPage, &QTextBrowser::backward);
    connect(cmdForward, &QPushButton::clicked, txtPage, &QTextBrowser::forward);
    connect(cmdContents, &QPushButton::clicked, this, [this] {
        showPage(QUrl::fromLocalFile(QDir(helpFolder()).filePath(QLatin1String(HelpTopic::Contents))));
    });
    connect(txtPage, &QTextBrowser::backwardAvailable, cmdBack, &QPushButton::setEnabled);
    connect(txtPage, &QTextBrowser::forwardAvailable, cmdForward, &QPushButton::setEnabled);
    connect(tvContents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr)
            txtPage->setSource(item->data(0, UrlRole).toUrl());
    });
    connect(tabNavigation, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1)
            txtIndex->setFocus(); // the keyword is typed at once
    });
    connect(txtIndex, &QLineEdit::textChanged, this, [this](const QString& text) { fillIndex(text); });
    connect(txtIndex, &QLineEdit::returnPressed, this, [this] {
        if (lstIndex->currentRow() < 0 && lstIndex->count() > 0)
            lstIndex->setCurrentRow(0);
        lstIndex_Click();
    });
    connect(lstIndex, &QListWidget::itemClicked, this, [this] { lstIndex_Click(); });
    connect(lstIndex, &QListWidget::itemActivated, this, [this] { lstIndex_Click(); });
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    Form_Load();
}

frmHelp::~frmHelp()
{
    if (g_help == this)
        g_help = nullptr;
}

void frmHelp::Form_Load()
{
    const QString folder = helpFolder();
    for (const HelpEntry& book : helpContents(folder)) {
        auto* top = new QTreeWidgetItem(tvContents, {book.title});
        top->setData(0, UrlRole, book.url);
        for (const HelpEntry& section : book.children) {
            auto* item = new QTreeWidgetItem(top, {section.title});
            item->setData(0, UrlRole, section.url);
        }
        top->setExpanded(true);
    }
    m_index = helpIndex(folder);
    fillIndex(QString());
}

void frmHelp::fillIndex(const QString& filter)
{
    lstIndex->clear();
    for (const HelpEntry& e : filteredIndex(m_index, filter)) {
        auto* item = new QListWidgetItem(e.title, lstIndex);
        item->setData(UrlRole, e.url);
    }
    if (!filter.trimmed().isEmpty() && lstIndex->count() > 0)
        lstIndex->setCurrentRow(0);
}

void frmHelp::lstIndex_Click()
{
    if (QListWidgetItem* item = lstIndex->currentItem())
        txtPage->setSource(item->data(UrlRole).toUrl());
}

void frmHelp::showPage(const QUrl& page)
{
    if (page.fragment() == QLatin1String("index")) {
        tabNavigation->setCurrentIndex(1);
        txtIndex->setFocus();
    } else {
        tabNavigation->setCurrentIndex(0);
    }
    txtPage->setSource(page);
}

void frmHelp::closeEvent(QCloseEvent* event)
{
    CFormRestore::saveProgramWindow(this);
    event->accept();
}

} // namespace tw
