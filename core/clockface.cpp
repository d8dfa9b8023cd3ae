#include "core/clockface.h"

#include "core/units.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace orvandel {

const FaceControl *ClockFace::control(QStringView name) const {
    for (const FaceControl &c : controls) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

bool moveApplies(const ClockFace &face, ClockCommand command) {
    if (face.ended)
        return false;
    const bool timeShown = !face.untimedFinal;
    switch (command) {
    case ClockCommand::Next:
        return face.level < face.levelCount;
    case ClockCommand::Previous:
        return face.level > 1;
    case ClockCommand::AddMinute:
        return timeShown && face.remainingMs <= MaxRemainingMs - MsPerMinute;
    case ClockCommand::TakeMinute:
        return timeShown && face.remainingMs > MsPerSecond;
    case ClockCommand::Restart:
        return timeShown;
    case ClockCommand::End:
        return true;
    case ClockCommand::Pause:
    case ClockCommand::Resume:
        break;
    }
    return false;
}

QByteArray faceToJson(const ClockFace &face) {
    QJsonObject controls;
    for (const FaceControl &c : face.controls) {
        controls.insert(c.name, QJsonObject{
                                    {QStringLiteral("text"), c.text},
                                    {QStringLiteral("color"), c.colour.name(QColor::HexRgb)},
                                    {QStringLiteral("visible"), c.visible},
                                });
    }
    const QJsonObject root{
        {QStringLiteral("controls"), controls},
        {QStringLiteral("level"), face.level},
        {QStringLiteral("levelCount"), face.levelCount},
        {QStringLiteral("remainingMs"), face.remainingMs},
        {QStringLiteral("paused"), face.paused},
        {QStringLiteral("ended"), face.ended},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace orvandel
