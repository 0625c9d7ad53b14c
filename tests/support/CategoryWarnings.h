#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects the warnings of one logging category while it lives; every other message goes on
// to the handler it replaced.
class CategoryWarnings {
public:
    explicit CategoryWarnings(const char* category) {
        s_category = category;
        s_seen.clear();
        s_previous = qInstallMessageHandler(&CategoryWarnings::handle);
    }
    ~CategoryWarnings() { qInstallMessageHandler(s_previous); }
    CategoryWarnings(const CategoryWarnings&) = delete;
    CategoryWarnings& operator=(const CategoryWarnings&) = delete;

    const QStringList& seen() const { return s_seen; }
    int count() const { return static_cast<int>(s_seen.size()); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && qstrcmp(context.category, s_category) == 0)
            s_seen << text;
        else if (s_previous)
            s_previous(type, context, text);
    }
    static inline const char* s_category = nullptr;
    static inline QStringList s_seen;
    static inline QtMessageHandler s_previous = nullptr;
};
