#include "host/app/window/modifiedstate.h"

#include "host/engine/document.h"

namespace tonaroapp {

namespace {

// Marks a saved step that is no longer in the history.
constexpr uint64_t kLostStep = UINT64_MAX;

}  // namespace

uint64_t ContentDigest(const tonaroengine::Document* document)
{
    if (document == nullptr) return 0;
    // FNV-1a over the snapshot's bytes.
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t byte : document->Snapshot()) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

void ModifiedState::MarkSaved(const tonaroengine::Document* document)
{
    document_ = document;
    undoIds_.clear();
    redoIds_.clear();
    changedOutsideHistory_ = false;
    expectRedo_ = false;
    savedHash_ = 0;
    savedId_ = 0;
    if (document_ == nullptr) return;
    for (int i = 0; i < document_->UndoCount(); ++i) undoIds_.push_back(nextId_++);
    for (int i = 0; i < document_->RedoCount(); ++i) redoIds_.push_back(nextId_++);
    savedId_ = TopId();
    savedHash_ = ContentDigest(document_);
}

void ModifiedState::ExpectRedo()
{
    expectRedo_ = true;
}

uint64_t ModifiedState::TopId() const
{
    return undoIds_.empty() ? 0 : undoIds_.back();
}

void ModifiedState::DocumentChanged()
{
    if (document_ == nullptr) return;
    const bool expectRedo = expectRedo_;
    expectRedo_ = false;
    const size_t undo = static_cast<size_t>(document_->UndoCount());
    const size_t redo = static_cast<size_t>(document_->RedoCount());

    if (undo + 1 == undoIds_.size() && redo == redoIds_.size() + 1) {
        // An undo: the top step moves over to the redo stack.
        redoIds_.push_back(undoIds_.back());
        undoIds_.pop_back();
    } else if (expectRedo && undo == undoIds_.size() + 1 && redo + 1 == redoIds_.size()) {
        undoIds_.push_back(redoIds_.back());
        redoIds_.pop_back();
    } else if (undo == undoIds_.size() + 1 && redo == 0) {
        // A new step; whatever could be redone is gone, the saved step too
        // when it was among them.
        for (uint64_t id : redoIds_)
            if (id == savedId_) savedId_ = kLostStep;
        redoIds_.clear();
        undoIds_.push_back(nextId_++);
    } else if (undo == undoIds_.size() && redo == redoIds_.size()) {
        // No step: a cancelled session (nothing changed) or an edit without
        // undo. Only the contents can tell them apart.
        if (TopId() == savedId_)
            changedOutsideHistory_ = changedOutsideHistory_ || ContentDigest(document_) != savedHash_;
        else
            changedOutsideHistory_ = true;
    } else {
        // The history moved in a way the tracker cannot follow: start a
        // fresh mirror in which the saved step is lost.
        undoIds_.clear();
        redoIds_.clear();
        for (size_t i = 0; i < undo; ++i) undoIds_.push_back(nextId_++);
        for (size_t i = 0; i < redo; ++i) redoIds_.push_back(nextId_++);
        savedId_ = kLostStep;
    }
}

bool ModifiedState::IsModified() const
{
    if (document_ == nullptr) return false;
    return changedOutsideHistory_ || TopId() != savedId_;
}

}  // namespace tonaroapp
