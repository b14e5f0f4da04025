// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// Receives the tag panel's selection after every change of it.
class TagsViewDelegate {
public:
    virtual ~TagsViewDelegate() = default;
    // The selected tags in the order they were selected; empty after clearing.
    virtual void selectionTagsChanged(const QStringList& tags) = 0;
};
