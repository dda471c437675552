#include "app/OptionsCommand.h"

#include "app/Form1.h"
#include "app/GuardedStep.h"
#include "app/OptionsDialog.h"
#include "app/OptionsStore.h"
#include "app/SystemMenu.h"
#include "controls/FileList.h"

#include <QAction>
#include <QStringList>
#include <utility>

namespace {

MessageRequest optionsNotSavedMessage(const std::vector<AppError>& failures) {
    QStringList reasons;
    for (const AppError& failure : failures)
        if (!reasons.contains(failure.description()))
            reasons.append(failure.description());
    return {QStringLiteral("The options could not all be saved; they hold until the program "
                           "ends.\n") +
                reasons.join(QLatin1Char('\n')),
            QStringLiteral("Options not saved"), MessageIcon::Warning, MessageButtons::Ok,
            MessageAnswer::Ok};
}

} // namespace

void installOptionsCommand(Form1& form) {
    const QString text = QStringLiteral("Options...");
    auto* action = new QAction(text, &form);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    action->setShortcutContext(Qt::WindowShortcut);
    form.addAction(action);
    // The controls that have no menu of their own pass a right-click on to the window.
    form.setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto open = [&form] { form.atEventBoundary([&form] { openOptions(form); }); };
    QObject::connect(action, &QAction::triggered, &form, open);
    addSystemMenuCommand(form, text, open);
}

void openOptions(Form1& form) {
    // The run reads the options as it goes; they change between runs only.
    if (form.run().RunInProgress) {
        form.services().prompter->ask(
            {QStringLiteral("A run is in progress. The options can be changed once it has "
                            "ended."),
             QStringLiteral("Run in progress"), MessageIcon::Warning, MessageButtons::Ok,
             MessageAnswer::Ok});
        return;
    }
    OptionsDialog dialog(form.run().CurrentOptions, &form);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Options chosen = dialog.chosen();
    applyOptions(form, chosen);
    if (form.services().settings) {
        const std::vector<AppError> failures = saveOptions(*form.services().settings, chosen);
        if (!failures.empty())
            form.services().prompter->ask(optionsNotSavedMessage(failures));
    }
}

void applyOptions(Form1& form, const Options& options) {
    form.run().CurrentOptions = options;
    const QString pattern = musicPattern(options);
    const std::pair<FileList*, QLabel*> panes[] = {
        {form.flIp, form.txtIpTot}, {form.flOp1, form.txtOp1Tot}, {form.flOP2, form.txtOp2Tot}};
    for (const auto& pane : panes) {
        runGuarded([&] { pane.first->setPattern(pattern); });
        runGuarded([&] { Form1::ShowTotal(pane.first, pane.second); });
    }
    runGuarded([&] { form.SetGoButton(); });
}
