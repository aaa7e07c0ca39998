#include "AnsiCodec.h"

#include "core/base/Logging.h"

// ICU's C converter API: Debian's libicu on Linux, vcpkg's icu on Windows
// (deployed beside the program). Qt's official Windows builds come without
// ICU, so Qt's own codecs could not be one path for both.
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <mutex>

namespace {

constexpr const char* kConverterName = "GB18030";
constexpr char kEuroByte = char(0x80);
constexpr UChar kEuroSign = 0x20AC;

// ICU reports a lone 0x80 as an illegal byte only where a character starts
// (as a second byte it belongs to its pair), which is exactly where code
// page 936 reads it as the euro sign. Every other bad sequence gets ICU's
// own substitute: one U+FFFD per sequence, including one cut off by the end.
void ToUnicodeWithEuroByte(const void* context, UConverterToUnicodeArgs* args, const char* codeUnits,
    int32_t length, UConverterCallbackReason reason, UErrorCode* error)
{
    if (reason == UCNV_ILLEGAL && length == 1 && codeUnits[0] == kEuroByte) {
        *error = U_ZERO_ERROR;
        ucnv_cbToUWriteUChars(args, &kEuroSign, 1, 0, error);
        return;
    }
    UCNV_TO_U_CALLBACK_SUBSTITUTE(context, args, codeUnits, length, reason, error);
}

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

// An ICU converter keeps state between calls and must not be shared by
// threads. Each thread opens its own on first use and keeps it, so a call
// costs only the conversion, not a lookup under ICU's lock and an
// allocation (which would matter for short texts).
struct ThreadConverter {
    std::unique_ptr<UConverter, ConverterCloser> converter;
    UErrorCode status = U_ZERO_ERROR;

    ThreadConverter()
    {
        converter.reset(ucnv_open(kConverterName, &status));
        if (U_SUCCESS(status))
            ucnv_setToUCallBack(converter.get(), ToUnicodeWithEuroByte, nullptr, nullptr, nullptr, &status);
        if (U_FAILURE(status))
            converter.reset();
    }
};

ThreadConverter& ThisThreadsConverter()
{
    thread_local ThreadConverter converter;
    return converter;
}

QString MissingConverterReason(UErrorCode status)
{
    return QStringLiteral("ICU cannot open its %1 converter (%2): Chinese pages and exports cannot be "
                          "converted.")
        .arg(QLatin1StringView(kConverterName), QLatin1StringView(u_errorName(status)));
}

UConverter* ConverterOrLogOnce()
{
    const ThreadConverter& converter = ThisThreadsConverter();
    if (!converter.converter) {
        static std::once_flag logged;
        std::call_once(
            logged, [&] { qCCritical(lcText).noquote() << MissingConverterReason(converter.status); });
    }
    return converter.converter.get();
}

void LogFailure(const char* what, UErrorCode status)
{
    qCWarning(lcText) << what << "stopped early:" << u_errorName(status);
}

// Appends the GB18030 bytes of `text`.
void AppendEncoded(UConverter* converter, QStringView text, QByteArray& out)
{
    if (text.isEmpty())
        return;
    ucnv_resetFromUnicode(converter);
    const qsizetype start = out.size();
    // At most four bytes per UTF-16 unit, plus room for state as ICU's
    // UCNV_GET_MAX_BYTES_FOR_STRING allows, so one call always fits.
    out.resize(start + (text.size() + 10) * ucnv_getMaxCharSize(converter));
    char* target = out.data() + start;
    const UChar* source = text.utf16();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(
        converter, &target, out.data() + out.size(), &source, source + text.size(), nullptr, true, &status);
    if (U_FAILURE(status))
        LogFailure("encoding", status);
    out.truncate(target - out.data());
}

} // namespace

Done AnsiCodecReady()
{
    const ThreadConverter& converter = ThisThreadsConverter();
    if (!converter.converter)
        return Done::Failed(MissingConverterReason(converter.status));
    return Done::Ok();
}

QString DecodeAnsi(const QByteArray& bytes)
{
    UConverter* converter = ConverterOrLogOnce();
    if (!converter || bytes.isEmpty())
        return QString();
    ucnv_resetToUnicode(converter);
    // A byte never yields more than one UTF-16 unit; grow all the same if
    // ICU says otherwise.
    QString out(bytes.size(), Qt::Uninitialized);
    const char* source = bytes.constData();
    const char* const sourceEnd = source + bytes.size();
    qsizetype written = 0;
    for (;;) {
        UChar* const begin = reinterpret_cast<UChar*>(out.data());
        UChar* target = begin + written;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, begin + out.size(), &source, sourceEnd, nullptr, true, &status);
        written = target - begin;
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            if (U_FAILURE(status))
                LogFailure("decoding", status);
            break;
        }
        out.resize(out.size() * 2);
    }
    out.truncate(written);
    return out;
}

QByteArray EncodeAnsi(const QString& text)
{
    UConverter* converter = ConverterOrLogOnce();
    if (!converter)
        return QByteArray();
    QByteArray out;
    out.reserve(text.size() * 2);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() != kEuroSign)
            continue;
        AppendEncoded(converter, QStringView(text).sliced(runStart, i - runStart), out);
        out += kEuroByte;
        runStart = i + 1;
    }
    AppendEncoded(converter, QStringView(text).sliced(runStart), out);
    return out;
}
