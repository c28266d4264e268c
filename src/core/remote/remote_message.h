#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

namespace tavrelia {

class NamedControls;

// One message of the remote's live channel (docs/remote.md), as JSON text:
//   from a client  {"control": "fader/3", "value": 128, "id": 7}
//   to a client    {"states": {...}}, {"error": "...", "id": 7}, {"ok": 7}, {"alive": 1}
struct RemoteMessage {
    static constexpr qsizetype kLongest = 4096;   // bytes of UTF-8

    QString control;
    QVariant value;   // none: a press
    QJsonValue id = QJsonValue::Undefined;   // the client's own, sent back with the answer
    QString problem;   // why the message is refused: empty when it can be applied

    // A client's message read whole. Refused (with the problem said): not JSON, not an
    // object, a field that is not known or not of its type, too long.
    static RemoteMessage parse(QByteArrayView text);

    // Checks a client's message and applies it to the controls; on any fault nothing
    // changes. The answer to send back, or nothing when there is none to send.
    static QByteArray answer(NamedControls& named, QByteArrayView text);

    static QByteArray states(const QList<std::pair<QString, QVariant>>& values);
    static QByteArray error(const QString& reason, const QJsonValue& id = QJsonValue::Undefined);
    static QByteArray done(const QJsonValue& id);
    static QByteArray alive();
};

}  // namespace tavrelia
