// Recovery snapshots of the main window's document: what a snapshot holds, and offering a
// snapshot that a run which did not end cleanly left behind.
#include "forms/mainwindow/MainWindow.h"

#include "forms/mainwindow/Recovery.h"
#include "forms/widgets/StatusBar.h"
#include "forms/mainwindow/TerminationSignals.h"
#include "platform/Platform.h"
#include "richtext/document/DocumentCapture.h"
#include "richtext/document/RichDocument.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"
#include "text/Codepage.h"

#include <QApplication>
#include <QBuffer>
#include <QSessionManager>
#include <QTextEdit>

namespace zorim {

void MainWindow::startRecovery()
{
    // Only the document as it stands is captured here, on this thread, in short steps that follow
    // the edits made meanwhile; turning it into RTF or text bytes happens on the snapshot's
    // worker while the user goes on typing.
    recovery_ = std::make_unique<Recovery>(Recovery::folderFor(settings_.stateFolder()), [this]() -> std::optional<Recovery::Job> {
        if (!RichEdit1->Modified())
            return std::nullopt;
        Recovery::Job job;
        job.info.fileName = document_.fileName();
        job.info.untitled = document_.untitled();
        job.info.plainText = RichEdit1->PlainText();
        job.info.savedAt = platform_.now();
        job.info.textForm = RichEdit1->document().textForm();
        RichEdit1->CompleteLoad(); // a snapshot holds the whole document
        const auto content = job.info.plainText ? DocumentCapture::Content::TextOnly : DocumentCapture::Content::Rich;
        auto stepped = std::make_shared<SteppedCapture>(RichEdit1->document(), content);
        auto taken = std::make_shared<DocumentCapture>();
        job.prepare = [stepped, taken] {
            if (!stepped->step())
                return Recovery::Step::More;
            if (stepped->failed())
                return Recovery::Step::Failed;
            *taken = std::move(stepped->capture());
            return Recovery::Step::Ready;
        };
        if (job.info.plainText)
            job.content = [taken] { return encodeTextDocument(RichDocument::textOf(taken->takeRawText())); };
        else
            job.content = [taken] { return taken->toRtf(); };
        return job;
    });

    termination_ = std::make_unique<TerminationSignals>();
    connect(termination_.get(), &TerminationSignals::terminationRequested, this, [this] { endFromOutside(); });
    // The desktop's logout asks first whether the program may end; without a way to ask, the
    // unsaved document stays as a snapshot for the next start.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!manager.allowsInteraction()) {
            if (recovery_)
                recovery_->keepForNextStart();
            return;
        }
        if (!confirmEnd())
            manager.cancel();
        manager.release();
    });
}

void MainWindow::discardRecovery()
{
    if (recovery_)
        recovery_->discard();
}

// The newest snapshot of a run that is over is offered; older ones wait for a later start.
void MainWindow::offerRecovery()
{
    if (!recovery_)
        return;
    QList<Recovery::Leftover> leftovers = recovery_->leftovers();
    QStringList foreign;
    for (const Recovery::Leftover& leftover : leftovers)
        if (leftover.foreign)
            foreign << leftover.path;
    leftovers.removeIf([](const Recovery::Leftover& leftover) { return leftover.foreign; });
    if (!foreign.isEmpty())
        platform_.error(this, QStringLiteral("Neuložené dokumenty, ktoré nepatria vám alebo k nim majú prístup iní, "
                                             "sa neponúkajú na obnovenie:\n%1")
                                  .arg(foreign.join(QLatin1Char('\n'))));
    if (leftovers.isEmpty())
        return;
    const Recovery::Leftover& newest = leftovers.back();
    if (!newest.snapshot) {
        const QString aside = Recovery::setAside(newest.path);
        platform_.error(this, QStringLiteral("Neuložený dokument z minulého spustenia je poškodený a nedá sa obnoviť. "
                                             "Zostal odložený v súbore %1.")
                                  .arg(aside));
        return;
    }
    const Snapshot& snapshot = *newest.snapshot;
    const QDateTime when = snapshot.info.savedAt.toLocalTime();
    // The date and time stay on one line: the box wraps its text only at ordinary blanks.
    QString moment = platform_.shortDate(when.date()) + u' ' + platform_.longTime(when.time());
    moment.replace(u' ', QChar::Nbsp);
    const QString question = QStringLiteral("Program ZORIM sa minule neukončil správne.\n"
                                            "Chcete obnoviť neuložený dokument „%1“ (stav z %2)?")
                                 .arg(snapshot.info.untitled ? DocumentState::kUntitled : snapshot.info.fileName, moment);
    switch (platform_.question(this, question)) {
    case Answer::Yes:
        guarded([&] {
            QByteArray content = snapshot.content;
            QBuffer buffer(&content);
            buffer.open(QIODevice::ReadOnly);
            const StreamFormat saved = RichEdit1->streamFormat();
            RichEdit1->setStreamFormat(snapshot.info.plainText ? StreamFormat::PlainText : StreamFormat::RichText);
            try {
                RichEdit1->LoadStream(buffer);
            } catch (...) {
                RichEdit1->setStreamFormat(saved);
                throw;
            }
            RichEdit1->setStreamFormat(saved);
            // The snapshot's own bytes are no copy of the document's file: a save as text
            // writes the file in the form it was read in.
            RichEdit1->document().setTextForm(snapshot.info.textForm);
            // The document comes back under its old name and as changed, so that Save puts it
            // where it belonged (an untitled one asks for a name).
            document_.setFileName(snapshot.info.untitled ? DocumentState::kUntitled : snapshot.info.fileName);
            document_.setTitle(DocumentState::titleFor(strip(document_.fileName())));
            document_.showFileName();
            RichEdit1->setModified(true);
            document_.setModified(true);
            Recovery::removeLeftover(newest.path);
            recovery_->documentChanged();
        });
        break;
    case Answer::No:
        Recovery::removeLeftover(newest.path);
        break;
    case Answer::Cancel:
        break;
    }
}

} // namespace zorim
