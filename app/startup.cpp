#include "app/startup.h"

#include "app/opening.h"
#include "core/structure.h"
#include "setup/frmstructure.h"
#include "setup/structuresheet.h"

#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>

namespace orvandel {

namespace {

constexpr int UsageStatus = 2;

void say(const QString &text) {
    std::fprintf(stderr, "orvandel: %s\n", qPrintable(text));
}

int usage() {
    say(QStringLiteral("usage: orvandel [FILE] | orvandel --pdf FILE OUT.pdf"));
    return UsageStatus;
}

} // namespace

QWidget *showFirstWindow(const QStringList &arguments) {
    if (arguments.isEmpty()) {
        auto *opening = new Opening(nullptr);
        opening->show();
        return opening;
    }
    if (arguments.size() != 1 || arguments.front().startsWith(u'-')) {
        usage();
        return nullptr;
    }
    auto *editor = new frmStructure(nullptr);
    editor->show();
    if (const QString refused = editor->openFile(arguments.front()); !refused.isEmpty())
        QMessageBox::warning(editor, QStringLiteral("Orvandel"), refused);
    return editor;
}

int writeSheetCommand(const QStringList &arguments) {
    if (arguments.size() != 2)
        return usage();
    const QString &from = arguments[0];
    const StructureRead read = openStructureOrTournament(from);
    if (!read.ok()) {
        say(QStringLiteral("%1 cannot be opened. %2")
                .arg(QFileInfo(from).fileName(), read.error.simplified()));
        return 1;
    }
    if (const QString failed = writeStructurePdf(read.structure, arguments[1]); !failed.isEmpty()) {
        say(QStringLiteral("%1 could not be written: %2").arg(arguments[1], failed));
        return 1;
    }
    return 0;
}

} // namespace orvandel
