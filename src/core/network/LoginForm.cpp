#include "LoginForm.h"

#include "core/base/Endpoints.h"

#include <QUrl>

namespace {

// The value of attribute name in the tag text (from "<" to ">"), quoted
// either way or not at all; empty when the tag has none.
QString AttributeValue(QStringView tag, QStringView name)
{
    for (qsizetype at = tag.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = tag.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        // A whole attribute name: after a blank, followed by "=".
        if (at == 0 || !tag[at - 1].isSpace())
            continue;
        qsizetype i = at + name.size();
        while (i < tag.size() && tag[i].isSpace())
            ++i;
        if (i >= tag.size() || tag[i] != u'=')
            continue;
        ++i;
        while (i < tag.size() && tag[i].isSpace())
            ++i;
        if (i < tag.size() && (tag[i] == u'"' || tag[i] == u'\'')) {
            const qsizetype close = tag.indexOf(tag[i], i + 1);
            return tag.sliced(i + 1, (close < 0 ? tag.size() : close) - i - 1).toString();
        }
        qsizetype end = i;
        while (end < tag.size() && !tag[end].isSpace() && tag[end] != u'>')
            ++end;
        return tag.sliced(i, end - i).toString();
    }
    return QString();
}

} // namespace

bool ShowsLoginForm(QStringView page)
{
    // Tags only: a script or comment that mentions a password field is no
    // form, and neither is text (a "<" in text is written "&lt;").
    for (qsizetype at = page.indexOf(u'<'); at >= 0; at = page.indexOf(u'<', at + 1)) {
        if (page.sliced(at).startsWith(u"<!--")) {
            at = page.indexOf(u"-->", at);
            if (at < 0)
                return false;
            continue;
        }
        const qsizetype close = page.indexOf(u'>', at);
        const QStringView tag = page.sliced(at, (close < 0 ? page.size() : close + 1) - at);
        if (tag.startsWith(u"<script", Qt::CaseInsensitive)
            || tag.startsWith(u"<style", Qt::CaseInsensitive)) {
            const bool script = tag[1].toLower() == u's' && tag[2].toLower() == u'c';
            at = page.indexOf(script ? u"</script" : u"</style", at + 1, Qt::CaseInsensitive);
            if (at < 0)
                return false;
            continue;
        }
        const auto isTag = [&](QStringView name) {
            return tag.size() > name.size() + 1 && tag.sliced(1).startsWith(name, Qt::CaseInsensitive)
                && (tag[name.size() + 1].isSpace() || tag[name.size() + 1] == u'>');
        };
        // The marketplace's own user-name field tells its form as well.
        if (isTag(u"input")
            && (AttributeValue(tag, u"type").trimmed().compare(u"password", Qt::CaseInsensitive) == 0
                || AttributeValue(tag, u"name") == u"TPL_username"))
            return true;
        if (isTag(u"form")) {
            const QString action = AttributeValue(tag, u"action")
                                       .trimmed()
                                       .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            if (!action.isEmpty() && IsLoginAddress(QUrl(action)))
                return true;
        }
    }
    return false;
}
