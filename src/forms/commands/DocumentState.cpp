#include "forms/commands/DocumentState.h"

#include "platform/Platform.h"

#include <QDateTime>

namespace zorim {

const QString DocumentState::kUntitled = QStringLiteral("Dokument");

DocumentState::DocumentState(Platform& platform, QObject* parent) : QObject(parent), platform_(platform) {}

void DocumentState::setTitle(const QString& title)
{
    title_ = title;
    emit titleChanged(title);
}

QString DocumentState::titleFor(const QString& name) { return QStringLiteral("ZORIM - ") + name; }

void DocumentState::showInFilePanel(const QString& name) { emit filePanelChanged(QStringLiteral(" Súbor: ") + name); }

void DocumentState::setMarker(Marker marker)
{
    switch (marker) {
    case Marker::None: emit markerChanged(QString()); break;
    case Marker::Changed: emit markerChanged(QStringLiteral("Zmenený")); break;
    case Marker::New: emit markerChanged(QStringLiteral("Nový")); break;
    }
}

void DocumentState::stampDateTime()
{
    const QDateTime now = platform_.now();
    emit dateTimeStamped(QStringLiteral("Dátum: ") + platform_.shortDate(now.date()),
                         QStringLiteral("Čas: ") + platform_.longTime(now.time()));
}

} // namespace zorim
