#include "DomScripts.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// Defines serializeInner(node) and serializeOuter(node) in the script's
// own scope. Raw-text elements (SCRIPT, STYLE …) keep their text unescaped,
// as innerHTML does; TEMPLATE serializes its content.
const char* const kSerializer = R"JS(
var VOID_TAGS = {AREA:1, BASE:1, BASEFONT:1, BGSOUND:1, BR:1, COL:1, EMBED:1, FRAME:1, HR:1, IMG:1,
                 INPUT:1, KEYGEN:1, LINK:1, META:1, PARAM:1, SOURCE:1, TRACK:1, WBR:1};
var RAW_TEXT_TAGS = {SCRIPT:1, STYLE:1, XMP:1, IFRAME:1, NOEMBED:1, NOFRAMES:1, PLAINTEXT:1, NOSCRIPT:1};
function escapeText(s) {
    return s.replace(/&/g, "&amp;").replace(/\u00a0/g, "&nbsp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
}
function escapeAttribute(s) {
    return s.replace(/&/g, "&amp;").replace(/\u00a0/g, "&nbsp;").replace(/"/g, "&quot;");
}
function appendNode(out, node, parentTag) {
    switch (node.nodeType) {
    case 1: appendElement(out, node); break;
    case 3: out.push(RAW_TEXT_TAGS[parentTag] ? node.data : escapeText(node.data)); break;
    case 4: out.push("<![CDATA[" + node.data + "]]>"); break;
    case 7: out.push("<?" + node.target + " " + node.data + ">"); break;
    case 8: out.push("<!--" + node.data + "-->"); break;
    case 10: out.push("<!DOCTYPE " + node.name + ">"); break;
    }
}
function appendChildren(out, node) {
    var tag = node.nodeType === 1 ? String(node.tagName).toUpperCase() : "";
    var parent = tag === "TEMPLATE" && node.content ? node.content : node;
    for (var child = parent.firstChild; child; child = child.nextSibling)
        appendNode(out, child, tag);
}
function appendElement(out, element) {
    var tag = String(element.tagName).toUpperCase();
    out.push("<" + tag);
    var attributes = element.attributes;
    for (var i = 0; attributes && i < attributes.length; ++i)
        out.push(" " + attributes[i].name + "=\"" + escapeAttribute(attributes[i].value) + "\"");
    out.push(">");
    if (VOID_TAGS[tag])
        return;
    appendChildren(out, element);
    out.push("</" + tag + ">");
}
function crlf(s) { return s.replace(/\r\n|\r|\n/g, "\r\n"); }
function serializeInner(node) { var out = []; appendChildren(out, node); return crlf(out.join("")); }
function serializeOuter(node) { var out = []; appendNode(out, node, ""); return crlf(out.join("")); }
)JS";

QString JsString(const QString& text)
{
    // A one-element JSON array is a valid script literal; [0] takes the text.
    return QString::fromUtf8(QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact))
        + QStringLiteral("[0]");
}

QString Wrapped(const QString& body)
{
    return QStringLiteral("(function() {") + QString::fromUtf8(kSerializer) + body + QStringLiteral("\n})()");
}

} // namespace

namespace domscripts {

QString ElementInnerHtml(const QString& id)
{
    return Wrapped(QStringLiteral("var e = document.getElementById(%1);\n"
                                  "return e ? serializeInner(e) : \"\";")
                       .arg(JsString(id)));
}

QString BodyHtml()
{
    return Wrapped(QStringLiteral("return document.body ? serializeInner(document.body) : \"\";"));
}

QString FindLink(const QString& linkText, bool click, const QString& tagName, qint64 clickDeadlineMs)
{
    // The serialized inner HTML is never shorter than the text content, so
    // elements with more text than the link text are passed over without
    // serializing them: a walk over large containers stays cheap.
    return Wrapped(
        QStringLiteral(R"JS(
var linkText = %1, wanted = %2.toUpperCase(), click = %3, deadline = %4;
// A script the page held up past its caller's wait must not click: the
// caller has gone on as if nothing was clicked.
if (click && deadline > 0 && Date.now() > deadline)
    return "";
// document.all in document order; the collection itself is falsy by
// design, so it is taken as the equivalent list of every element.
var all = document.getElementsByTagName("*"), n = all.length;
// An element that cannot be read is passed over; the walk goes on.
function matches(e) {
    try {
        if (!e || String(e.tagName).toUpperCase() !== wanted)
            return false;
        var content = e.textContent;
        if (content !== null && content.length > linkText.length)
            return false;
        return serializeInner(e) === linkText;
    } catch (error) {
        return false;
    }
}
for (var i = 0; i < n; ++i) {
    var e = all[i];
    if (!matches(e))
        continue;
    if (serializeOuter(e).indexOf("disabled") >= 0)
        return "";
    var href = e.href;
    if (href && typeof href === "object" && "baseVal" in href)
        href = href.baseVal;
    href = typeof href === "string" ? href : "";
    if (click && deadline > 0 && Date.now() > deadline)
        return "";
    if (click && typeof e.click === "function")
        e.click();
    return href;
}
return "";)JS")
            .arg(JsString(linkText), JsString(tagName),
                click ? QStringLiteral("true") : QStringLiteral("false"), QString::number(clickDeadlineMs)));
}

QString ScrollBy(int x, int y)
{
    return QStringLiteral("window.scrollBy(%1, %2);").arg(x).arg(y);
}

} // namespace domscripts
