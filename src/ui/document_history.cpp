#include "ui/document_history.h"

#include <QAction>
#include <QUndoCommand>
#include <memory>

namespace humidora {
namespace {

using State = std::shared_ptr<const DocumentState>;

/// One step: the whole document before and after it. Consecutive steps share the state between them.
class StepCommand final : public QUndoCommand
{
public:
    StepCommand(CalculationDocument& document, const DocumentStep& step, State before, State after)
        : QUndoCommand(QString::fromStdString(step.name))
        , document_(document)
        , merge_(step.merge)
        , before_(std::move(before))
        , after_(std::move(after))
    {
    }

    void undo() override { document_.Restore(*before_); }
    void redo() override
    {
        // Pushed after the document made the change itself: the first redo has nothing to do.
        if (std::exchange(done_, false))
            return;
        document_.Restore(*after_);
    }
    int id() const override { return merge_ > 0 ? merge_ : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        if (sealed_ || other->id() != id())
            return false;
        after_ = static_cast<const StepCommand*>(other)->after_;
        // Typing a box back to what it was leaves no step.
        setObsolete(SameState(*before_, *after_));
        return true;
    }
    void seal() { sealed_ = true; }

private:
    CalculationDocument& document_;
    int merge_;
    State before_;
    State after_;
    bool done_ = true;
    bool sealed_ = false;
};

} // namespace

DocumentHistory::DocumentHistory(CalculationDocument& document, QObject* parent)
    : QObject(parent)
    , document_(document)
{
    stack_.setUndoLimit(kUndoLimit);
    document_.SetRecorder([this](const DocumentStep& step, DocumentState before, const DocumentState& after) {
        // The state before a step is most often the one after the step before it: kept once.
        State shared_before = last_after_ && SameState(*last_after_, before)
            ? last_after_
            : std::make_shared<const DocumentState>(std::move(before));
        last_after_ = std::make_shared<const DocumentState>(after);
        stack_.push(new StepCommand(document_, step, std::move(shared_before), last_after_));
    });
}

DocumentHistory::~DocumentHistory()
{
    document_.SetRecorder({});
}

void DocumentHistory::undo()
{
    stack_.undo();
    endMerging();
}

void DocumentHistory::redo()
{
    stack_.redo();
    endMerging();
}

void DocumentHistory::endMerging()
{
    // Only the step below the current index can take the next one in.
    if (stack_.index() > 0)
        static_cast<StepCommand*>(const_cast<QUndoCommand*>(stack_.command(stack_.index() - 1)))->seal();
}

void DocumentHistory::startAfresh()
{
    stack_.clear();
    last_after_.reset();
    stack_.setClean();
}

QAction* DocumentHistory::createUndoAction(QObject* parent)
{
    QAction* action = stack_.createUndoAction(parent, QStringLiteral("&Undo"));
    action->setObjectName(QStringLiteral("menu_undo"));
    action->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Z) });
    // The stack's own action undoes without ending the merging of keystrokes; this one does both.
    disconnect(action, &QAction::triggered, &stack_, nullptr);
    connect(action, &QAction::triggered, this, &DocumentHistory::undo);
    return action;
}

QAction* DocumentHistory::createRedoAction(QObject* parent)
{
    QAction* action = stack_.createRedoAction(parent, QStringLiteral("&Redo"));
    action->setObjectName(QStringLiteral("menu_redo"));
    action->setShortcuts(
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });
    disconnect(action, &QAction::triggered, &stack_, nullptr);
    connect(action, &QAction::triggered, this, &DocumentHistory::redo);
    return action;
}

} // namespace humidora
