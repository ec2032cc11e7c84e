#pragma once

#include <QList>

#include "platform/invalid_argument_error.h"

namespace vantelo {

// A growable list whose element access by position is always checked: a bad
// position raises InvalidArgumentError instead of reading outside the list.
// Language texts, channel lists and favourites are kept in it, so that a short
// language pack or a hand-edited file stops the running handler, never the program.
template <typename T>
class BoundedList {
public:
    BoundedList() = default;
    BoundedList(std::initializer_list<T> items) : m_items(items) {}

    qsizetype size() const { return m_items.size(); }
    bool isEmpty() const { return m_items.isEmpty(); }

    const T& at(qsizetype position) const
    {
        CheckPosition(position);
        return m_items.at(position);
    }

    void set(qsizetype position, const T& value)
    {
        CheckPosition(position);
        m_items[position] = value;
    }

    void append(const T& value) { m_items.append(value); }

    void removeAt(qsizetype position)
    {
        CheckPosition(position);
        m_items.removeAt(position);
    }

    void swapItems(qsizetype first, qsizetype second)
    {
        CheckPosition(first);
        CheckPosition(second);
        m_items.swapItemsAt(first, second);
    }

    bool contains(const T& value) const { return m_items.contains(value); }

    // Empties the list and gives its memory back.
    void clear()
    {
        m_items.clear();
        m_items.squeeze();
    }

    const QList<T>& items() const { return m_items; }

    bool operator==(const BoundedList& other) const = default;

private:
    void CheckPosition(qsizetype position) const
    {
        if (position < 0 || position >= m_items.size())
            throw InvalidArgumentError();
    }

    QList<T> m_items;
};

}  // namespace vantelo
