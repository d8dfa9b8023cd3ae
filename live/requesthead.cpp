#include "live/requesthead.h"

#include <QStringDecoder>
#include <algorithm>
#include <cctype>

namespace orvandel::live {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text) {
    while (!text.isEmpty() && isSpace(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && (isSpace(text.back()) || text.back() == '\r'))
        text.chop(1);
    return text;
}

bool sameWord(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A host and optional port as a browser writes them in the Host header: a
// name or IPv4 address, or an IPv6 address in brackets.
bool isPlainHost(QByteArrayView host) {
    if (host.isEmpty() || host.size() > 255)
        return false;
    qsizetype colon = host.lastIndexOf(':');
    QByteArrayView name = host;
    if (host.front() == '[') {
        const qsizetype close = host.indexOf(']');
        if (close < 2)
            return false;
        for (const char c : host.sliced(1, close - 1)) {
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.')
                return false;
        }
        colon = close + 1 < host.size() ? close + 1 : -1;
        if (colon > 0 && host[colon] != ':')
            return false;
    } else {
        if (colon >= 0)
            name = host.first(colon);
        if (name.isEmpty())
            return false;
        for (const char c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.')
                return false;
        }
    }
    if (colon < 0)
        return true;
    const QByteArrayView port = host.sliced(colon + 1);
    return !port.isEmpty() && port.size() <= 5 && std::all_of(port.begin(), port.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

} // namespace

HeadScan scanHead(QByteArrayView received, qsizetype from, qsizetype limit) {
    // The head ends at the first empty line; a bare LF ends a line as CRLF
    // does. The scan starts early enough to see an end that the previous
    // bytes began.
    qsizetype at = std::clamp<qsizetype>(from - 2, 0, received.size());
    for (;;) {
        const qsizetype newline = received.indexOf('\n', at);
        if (newline < 0)
            break;
        qsizetype next = newline + 1;
        if (next < received.size() && received[next] == '\r')
            ++next;
        if (next < received.size() && received[next] == '\n') {
            const qsizetype length = next + 1;
            if (length > limit)
                return {HeadScan::State::TooLarge, 0, 0};
            return {HeadScan::State::Complete, length, 0};
        }
        if (next >= received.size())
            break;
        at = newline + 1;
    }
    if (received.size() > limit)
        return {HeadScan::State::TooLarge, 0, 0};
    return {HeadScan::State::Incomplete, 0, received.size()};
}

RequestHead readHead(QByteArrayView head) {
    RequestHead read;
    qsizetype end = head.indexOf('\n');
    const QByteArrayView line = trimmed(end < 0 ? head : head.first(end));
    const qsizetype space = line.indexOf(' ');
    if (space <= 0)
        return read;
    read.method = line.first(space).toByteArray();
    // No version, no request: the target stays empty.
    const QByteArrayView rest = line.sliced(space + 1);
    read.target = rest.first(std::max<qsizetype>(0, rest.indexOf(' '))).toByteArray();

    while (end >= 0) {
        const qsizetype start = end + 1;
        end = head.indexOf('\n', start);
        const QByteArrayView field = head.sliced(start, (end < 0 ? head.size() : end) - start);
        const qsizetype colon = field.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArrayView name = field.first(colon);
        const QByteArrayView value = trimmed(field.sliced(colon + 1));
        if (sameWord(name, "Content-Length"))
            read.hasBody =
                read.hasBody || value.isEmpty() ||
                !std::all_of(value.begin(), value.end(), [](char c) { return c == '0'; });
        else if (sameWord(name, "Transfer-Encoding"))
            read.hasBody = true;
    }
    return read;
}

QString targetPath(QByteArrayView target) {
    if (target.isEmpty() || target.front() != '/')
        return {};
    const qsizetype query = target.indexOf('?');
    const QByteArray path =
        QByteArray::fromPercentEncoding((query < 0 ? target : target.first(query)).toByteArray());
    if (path.contains('\0'))
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(path);
    if (utf8.hasError())
        return {};
    return text;
}

Resource resourceAt(QStringView path) {
    static constexpr struct {
        QStringView path;
        Resource resource;
    } Served[] = {
        {u"/", Resource::Page},
        {u"/live.js", Resource::Script},
        {u"/live.css", Resource::Style},
        {u"/state", Resource::State},
        {u"/structure", Resource::Structure},
        {u"/live", Resource::Live},
        {u"/alert.wav", Resource::AlertSound},
        {u"/warning.wav", Resource::WarningSound},
    };
    for (const auto &served : Served) {
        if (served.path == path)
            return served.resource;
    }
    return Resource::None;
}

Admission admit(const RequestHead &head) {
    using Kind = Admission::Kind;
    if (head.method.isEmpty() || targetPath(head.target).isEmpty())
        return {Kind::Refuse, 400};
    // Qt's server answers any other method without a body: 405 too.
    if (head.hasBody)
        return {Kind::Refuse, head.method == "GET" ? 400 : 405};
    return {Kind::Pass, 0};
}

Headers answerHeaders(QByteArrayView host) {
    QByteArray connect = "connect-src 'self'";
    // Older Safari reads 'self' as http: alone; the page's WebSocket is named.
    if (isPlainHost(host))
        connect += " ws://" + host.toByteArray();
    return {
        {"Cache-Control", "no-store"},
        {"X-Content-Type-Options", "nosniff"},
        {"Content-Security-Policy",
         "default-src 'none'; script-src 'self'; style-src 'self'; media-src 'self'; " + connect +
             "; base-uri 'none'; form-action 'none'; "
             "frame-ancestors 'none'"},
        {"Referrer-Policy", "no-referrer"},
    };
}

QByteArray refusal(int status) {
    Headers headers = answerHeaders({});
    QByteArray reason = "Bad Request";
    if (status == 405) {
        reason = "Method Not Allowed";
        headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET")));
    } else if (status == 431) {
        reason = "Request Header Fields Too Large";
    }
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
                        "\r\nContent-Length: 0\r\nConnection: close\r\n";
    for (const auto &[name, value] : std::as_const(headers))
        answer += name + ": " + value + "\r\n";
    return answer + "\r\n";
}

} // namespace orvandel::live
