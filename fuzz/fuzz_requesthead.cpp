// Fuzz target for what the live view reads of what a client sends before
// Qt does: a request head, and a viewer's WebSocket frames.
//
// The first byte picks the head limit; the rest is what a client sent.
// Whatever the bytes: a head found complete ends at its first empty line and
// fits the limit, and bytes arriving in pieces end it at the same place; no
// request with a body goes on to Qt's server, nor one whose target is no
// path; a decoded path is served only whole, never with a step up in it; and
// a Host header never adds a directive or a line to the answer's headers.
// Read as frames, the bytes in pieces give the frames and the verdict on
// their masks that they give whole, and every frame but the last takes at
// least a masked head's six bytes. A broken property traps, so libFuzzer
// keeps the input.
#include "live/clientframes.h"
#include "live/requesthead.h"

#include <cstddef>
#include <cstdint>

using namespace orvandel::live;

namespace {

void require(bool holds) {
    if (!holds)
        __builtin_trap();
}

bool endsWithEmptyLine(QByteArrayView head) {
    return head.endsWith("\n\n") || head.endsWith("\n\r\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const qsizetype limit = 1 + qsizetype{data[0]} * 33;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data) + 1,
                               static_cast<qsizetype>(size) - 1);

    const HeadScan whole = scanHead(bytes, 0, limit);
    switch (whole.state) {
    case HeadScan::State::Complete:
        require(whole.length > 0 && whole.length <= limit && whole.length <= bytes.size());
        require(endsWithEmptyLine(bytes.first(whole.length)));
        require(scanHead(bytes.first(whole.length - 1), 0, limit).state ==
                HeadScan::State::Incomplete);
        break;
    case HeadScan::State::TooLarge:
        require(scanHead(bytes.first(std::min(bytes.size(), limit)), 0, limit).state ==
                HeadScan::State::Incomplete);
        break;
    case HeadScan::State::Incomplete:
        require(bytes.size() <= limit && whole.resume == bytes.size());
        break;
    }

    // The same bytes in pieces whose sizes the bytes themselves give.
    HeadScan pieces;
    qsizetype arrived = 0;
    while (pieces.state == HeadScan::State::Incomplete && arrived < bytes.size()) {
        arrived = std::min(bytes.size(), arrived + 1 + (bytes[arrived] & 0x0f));
        pieces = scanHead(bytes.first(arrived), pieces.resume, limit);
    }
    require(pieces.state == whole.state && pieces.length == whole.length);

    const RequestHead head =
        readHead(whole.state == HeadScan::State::Complete ? bytes.first(whole.length) : bytes);
    const Admission admission = admit(head);
    const QString path = targetPath(head.target);
    switch (admission.kind) {
    case Admission::Kind::Pass:
        require(!head.method.isEmpty() && !head.hasBody && path.startsWith(u'/'));
        break;
    case Admission::Kind::Refuse:
        require(admission.status == 400 || (admission.status == 405 && head.hasBody &&
                                            head.method != "GET" && !path.isEmpty()));
        break;
    }

    const QString anyPath = targetPath(bytes);
    require(anyPath.isEmpty() || anyPath.startsWith(u'/'));
    require(resourceAt(anyPath) == Resource::None ||
            (!anyPath.contains(QStringLiteral("..")) && !anyPath.contains(QStringLiteral("//"))));

    const Headers plain = answerHeaders({});
    const Headers named = answerHeaders(bytes);
    require(plain.size() == named.size());
    for (qsizetype i = 0; i < named.size(); ++i) {
        const QByteArray &value = named[i].second;
        require(!value.contains('\r') && !value.contains('\n') && !value.contains('\0'));
        require(value.count(';') == plain[i].second.count(';'));
        require(value.count(',') == 0);
    }

    ClientFrames frames;
    const bool masked = frames.feed(bytes);
    require(frames.frames() <= (bytes.size() + 5) / 6 || !masked);
    ClientFrames inPieces;
    bool piecesMasked = true;
    for (qsizetype at = 0; at < bytes.size() && piecesMasked;) {
        const qsizetype piece = std::min(bytes.size() - at, qsizetype{1} + (bytes[at] & 0x1f));
        piecesMasked = inPieces.feed(bytes.sliced(at, piece));
        at += piece;
    }
    require(piecesMasked == masked && inPieces.frames() == frames.frames());
    return 0;
}
