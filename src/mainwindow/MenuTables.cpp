#include "mainwindow/MenuTables.h"

namespace tw {

const QList<MenuEntry>& mainMenuEntries()
{
    static const QList<MenuEntry> entries{
        {QStringLiteral("&File"), QStringLiteral("mnuFileTOP"), -1, 0},
        {QStringLiteral("-Options"), QStringLiteral("mnuFileSeparator0"), -1, 1},
        {QStringLiteral("Load options from file"), QStringLiteral("mnuFileLoadOptions"), 9, 1},
        {QStringLiteral("Save options to file"), QStringLiteral("mnuFileSaveOptions"), 12, 1},
        {QStringLiteral("-Strategies"), QStringLiteral("mnuFileSeparator1"), -1, 1},
        {QStringLiteral("Load strategies"), QStringLiteral("mnuFileLoadStrategies"), 10, 1},
        {QStringLiteral("Save strategies"), QStringLiteral("mnuFileSaveStrategies"), 12, 1},
        {QStringLiteral("Save strategies as..."), QStringLiteral("mnuFileSaveStrategiesAs"), 13, 1},
        {QStringLiteral("-"), QStringLiteral("mnuFileSeparator2"), -1, 1},
        {QStringLiteral("Exit"), QStringLiteral("mnuFileExit"), 27, 1},
        {QStringLiteral("&Edit"), QStringLiteral("mnuEditTOP"), -1, 0},
        {QStringLiteral("-Edit text"), QStringLiteral("mnuEditSeparator0"), -1, 1},
        {QStringLiteral("&Copy text"), QStringLiteral("mnuEditCopy"), 16, 1},
        {QStringLiteral("Cu&t text"), QStringLiteral("mnuEditCut"), 17, 1},
        {QStringLiteral("&Paste text"), QStringLiteral("mnuEditPaste"), 18, 1},
        {QStringLiteral("Create formatted text"), QStringLiteral("mnuEditStrategyHelp"), 14, 1},
        {QStringLiteral("&Windows"), QStringLiteral("mnuWindowsTOP"), -1, 0},
        {QStringLiteral("-Charts"), QStringLiteral("mnuWindowsSeparator0"), -1, 1},
        {QStringLiteral("&New chart"), QStringLiteral("mnuWindowsNewChart"), 40, 1},
        {QStringLiteral("&3D chart"), QStringLiteral("mnuWindowsStrategy3DProfile"), 31, 1},
        {QStringLiteral("-Windows operations"), QStringLiteral("mnuWindowsSeparator1"), -1, 1},
        {QStringLiteral("&Minimize all"), QStringLiteral("mnuWindowsMinimizeAll"), 26, 1},
        {QStringLiteral("-Opened charts"), QStringLiteral("mnuChartsTOP"), -1, 1},
        {QStringLiteral("&Help"), QStringLiteral("mnuHelpTOP"), -1, 0},
        {QStringLiteral("-Help"), QStringLiteral("mnuHelpSeparator1"), -1, 1},
        {QStringLiteral("&Contents"), QStringLiteral("mnuHelpContents"), 14, 1},
        {QStringLiteral("&Index"), QStringLiteral("mnuHelpIndex"), 5, 1},
        {QStringLiteral("-Information"), QStringLiteral("mnuHelpSeparator2"), -1, 1},
        {QStringLiteral("&About..."), QStringLiteral("mnuHelpAbout"), 32, 1},
        {QStringLiteral("-Links"), QStringLiteral("mnuHelpSeparator3"), -1, 1},
        {QStringLiteral("Resources"), QStringLiteral("mnuLinkExchanges"), 8, 1},
        {QStringLiteral("Chicago Board Option Exchange"), QStringLiteral("mnuLinkCBOE"), 7, 2},
        {QStringLiteral("London International Financial Futures Exchange"), QStringLiteral("mnuLinkLIFFE"), 19, 2},
        {QStringLiteral("Yahoo Finance"), QStringLiteral("mnuLinkYahoo"), 20, 2},
        {QStringLiteral("-Debug"), QStringLiteral("mnuHelpSeparator11"), -1, 1},
        {QStringLiteral("&Enable tracing"), QStringLiteral("mnuHelpTracing"), -1, 1},
    };
    return entries;
}

const QList<MenuEntry>& strategiesMenuEntries()
{
    static const QList<MenuEntry> entries{
        {QStringLiteral("-Strategies"), QStringLiteral("mnuStrategiesSeparator0"), -1, 0},
        {QStringLiteral("Rename"), QStringLiteral("mnuStrategiesRename"), 23, 0},
        {QStringLiteral("Load"), QStringLiteral("mnuStrategiesLoad"), 9, 0},
        {QStringLiteral("Save"), QStringLiteral("mnuStrategiesSave"), 12, 0},
        {QStringLiteral("Save as..."), QStringLiteral("mnuStrategiesSaveAs"), 13, 0},
        {QStringLiteral("-Edit"), QStringLiteral("mnuStrategiesSeparator1"), -1, 0},
        {QStringLiteral("Add strategy"), QStringLiteral("mnuStrategiesAdd"), 25, 0},
        {QStringLiteral("Delete strategy"), QStringLiteral("mnuStrategiesDelete"), 24, 0},
        {QStringLiteral("Copy strategy"), QStringLiteral("mnuStrategiesCopy"), 16, 0},
        {QStringLiteral("Move to"), QStringLiteral("mnuStrategiesMoveTo"), 34, 0},
        {QStringLiteral("-Strategy group"), QStringLiteral("mnuStrategiesSeparator2"), -1, 0},
        {QStringLiteral("Add strategy group"), QStringLiteral("mnuStrategiesAddGroup"), 25, 0},
        {QStringLiteral("Delete strategy group"), QStringLiteral("mnuStrategiesDeleteGroup"), 24, 0},
        {QStringLiteral("-Exchange"), QStringLiteral("mnuStrategiesSeparator3"), -1, 0},
        {QStringLiteral("Export"), QStringLiteral("mnuStrategiesExport"), 36, 0},
        {QStringLiteral("Import"), QStringLiteral("mnuStrategiesImport"), 37, 0},
    };
    return entries;
}

const QList<MenuEntry>& optionsMenuEntries()
{
    static const QList<MenuEntry> entries{
        {QStringLiteral("Add as long position"), QStringLiteral("mnuOptionsAddLong"), -1, 0},
        {QStringLiteral("Add as short position"), QStringLiteral("mnuOptionsAddShort"), -1, 0},
    };
    return entries;
}

const QList<MenuEntry>& paramsMenuEntries()
{
    static const QList<MenuEntry> entries{
        {QStringLiteral("-Strategy params"), QStringLiteral("mnuParamsSeparator0"), -1, 0},
        {QStringLiteral("Add"), QStringLiteral("mnuParamsAdd"), 25, 0},
        {QStringLiteral("Edit"), QStringLiteral("mnuParamsEdit"), 23, 0},
        {QStringLiteral("Delete"), QStringLiteral("mnuParamsDelete"), 24, 0},
        {QStringLiteral("-Group operations"), QStringLiteral("mnuParamsSeparator2"), -1, 0},
        {QStringLiteral("Shift all strikes 1 step up"), QStringLiteral("mnuParams1StepUp"), 28, 0},
        {QStringLiteral("Shift all strikes 1 step down"), QStringLiteral("mnuParams1StepDown"), 29, 0},
        {QStringLiteral("-Export"), QStringLiteral("mnuParamsSeparator3"), -1, 0},
        {QStringLiteral("Export to Microsoft Excel"), QStringLiteral("mnuParamsExportToExcel"), 39, 0},
    };
    return entries;
}

const QList<MenuEntry>& chartListEntries()
{
    static const QList<MenuEntry> entries{
        {QStringLiteral("-Opened charts"), QStringLiteral("mnuChartsTOP"), -1, 0},
        {QStringLiteral("Main window"), QStringLiteral("mnuMainForm"), 42, 0},
        {QStringLiteral("3D chart"), QStringLiteral("mnu3DChart"), 31, 0},
    };
    return entries;
}

const QList<ToolbarEntry>& toolbarEntries()
{
    static const QList<ToolbarEntry> entries{
        {QStringLiteral("New 2D chart"), 40, 16, QStringLiteral("newchart")},
        {QStringLiteral("3D chart"), 31, 16, QStringLiteral("3Dchart")},
        {QStringLiteral("Chart windows"), 41, 144, QStringLiteral("charts")},
        {QString(), -1, 1, QString()},
        {QStringLiteral("Load options from file"), 9, 16, QStringLiteral("loadoptions")},
        {QStringLiteral("Save options to file"), 12, 16, QStringLiteral("saveoptions")},
        {QStringLiteral("Load strategies"), 10, 16, QStringLiteral("loadstrategy")},
        {QStringLiteral("Save strategies"), 12, 16, QStringLiteral("savestrategies")},
        {QString(), -1, 1, QString()},
        {QStringLiteral("Help"), 14, 16, QStringLiteral("help")},
        {QStringLiteral("Exit"), 27, 16, QStringLiteral("exit")},
    };
    return entries;
}

ToolbarCommand toolbarCommand(const QString& key)
{
    static const std::pair<const char*, ToolbarCommand> table[] = {
        {"newchart", ToolbarCommand::NewChart},         {"3Dchart", ToolbarCommand::Chart3D},
        {"loadoptions", ToolbarCommand::LoadOptions},   {"saveoptions", ToolbarCommand::SaveOptions},
        {"loadstrategy", ToolbarCommand::LoadStrategies}, {"savestrategies", ToolbarCommand::SaveStrategies},
        {"help", ToolbarCommand::Help},                 {"exit", ToolbarCommand::Exit},
    };
    for (const auto& [k, command] : table) {
        if (key == QLatin1String(k))
            return command;
    }
    return ToolbarCommand::None;
}

QStringList chartEntryCaptions(const QStringList& captions)
{
    QStringList entries;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        QString text = captions.at(i);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (captions.count(captions.at(i)) > 1)
            text += QStringLiteral(" (%1)").arg(captions.mid(0, i).count(captions.at(i)) + 1);
        entries.append(text);
    }
    return entries;
}

} // namespace tw
