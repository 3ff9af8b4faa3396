// Undo and redo of the live calculation: every step the document records becomes a command of a
// QUndoStack holding the whole state before and after it, so that undoing or redoing brings back exactly
// what the window showed at that step. The keystrokes of one box are one step until another control is
// used. The stack's clean state is the state last opened or saved.
#pragma once

#include "calc/document/calculation_document.h"

#include <QObject>
#include <QUndoStack>
#include <memory>

class QAction;

namespace humidora {

class DocumentHistory : public QObject
{
    Q_OBJECT

public:
    /// Records the steps of `document`, which must outlive the history.
    explicit DocumentHistory(CalculationDocument& document, QObject* parent = nullptr);
    ~DocumentHistory() override;

    QUndoStack& stack() { return stack_; }
    const QUndoStack& stack() const { return stack_; }

    void undo();
    void redo();
    /// The next step does not join the last one (the user went on to another control).
    void endMerging();
    /// A fresh history: no step to undo or redo, the document's state clean (a file opened).
    void startAfresh();
    /// The document's state is the one on file now.
    void markSaved() { stack_.setClean(); }
    bool isClean() const { return stack_.isClean(); }

    /// Edit > Undo and Edit > Redo, their texts naming the step ("Undo Delete Point MA"), with the
    /// shortcuts Ctrl+Z, and Ctrl+Shift+Z and Ctrl+Y.
    QAction* createUndoAction(QObject* parent);
    QAction* createRedoAction(QObject* parent);

    /// The steps kept: the oldest go beyond it (a state is a few tens of kilobytes).
    static constexpr int kUndoLimit = 2000;

private:
    CalculationDocument& document_;
    QUndoStack stack_;
    std::shared_ptr<const DocumentState> last_after_; ///< the state after the last step recorded
};

} // namespace humidora
