#include "app/Dialogs.h"

#include <cstdio>

namespace tw {

Dialogs::~Dialogs() = default;

FileDialogAnswer Dialogs::getOpenFileName(const FileDialogRequest& request)
{
    FileDialogAnswer answer;
    answer.selectedFilter = request.selectedFilter;
    answer.readOnly = request.readOnly;
    return answer;
}

FileDialogAnswer Dialogs::getSaveFileName(const FileDialogRequest& request)
{
    return Dialogs::getOpenFileName(request);
}

bool Dialogs::showHelp(const QUrl& page)
{
    return openUrl(page);
}

void Dialogs::beep() {}

bool Dialogs::switchableMessage(const QString&, const QString&)
{
    return true;
}

namespace {

class FallbackDialogs final : public Dialogs {
public:
    int messageBox(const QString& text, int style, const QString& title) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
        switch (style & Msg::ButtonsMask) {
        case Msg::OkOnly:
            return Msg::Ok;
        case Msg::AbortRetryIgnore:
            return Msg::Ignore;
        case Msg::YesNo:
            return Msg::No;
        default:
            return Msg::Cancel;
        }
    }
    QString errorForm(const QString& report, const QString&) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(report));
        return {};
    }
    bool openUrl(const QUrl&) override { return false; }
    FileDialogAnswer getOpenFileName(const FileDialogRequest& request) override
    {
        std::fprintf(stderr, "[%s] open file dialog cancelled (no dialogs installed)\n", qPrintable(request.title));
        return Dialogs::getOpenFileName(request);
    }
    FileDialogAnswer getSaveFileName(const FileDialogRequest& request) override
    {
        std::fprintf(stderr, "[%s] save file dialog cancelled (no dialogs installed)\n", qPrintable(request.title));
        return Dialogs::getSaveFileName(request);
    }
    bool switchableMessage(const QString& text, const QString& id) override
    {
        std::fprintf(stderr, "[Information %s] %s\n", qPrintable(id), qPrintable(text));
        return true;
    }
};

FallbackDialogs& fallback()
{
    static FallbackDialogs instance;
    return instance;
}

Dialogs* g_installed = nullptr;
bool g_stopped = false;

} // namespace

Dialogs& dialogs()
{
    return g_installed != nullptr && !g_stopped ? *g_installed : fallback();
}

void setQuestionsStopped(bool stopped)
{
    g_stopped = stopped;
}

Dialogs* setDialogs(Dialogs* d)
{
    Dialogs* previous = g_installed;
    g_installed = d;
    return previous;
}

QString appTitle()
{
    return QStringLiteral("Tarnwell");
}

} // namespace tw
