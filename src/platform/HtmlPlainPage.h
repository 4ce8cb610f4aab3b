#pragma once
// The page written again in a plain form before gumbo reads it (see
// HtmlPlainPage.cpp). Inside the HTML stand-in only.
#include <QByteArray>
#include <QString>

namespace tw::platform::html {

// How closely the model follows gumbo. It may miss that gumbo keeps an
// element open; a page on which it did is read again Strict, where the model
// closes an element only for an end tag of the element on top and forgets
// no formatting element (so it never counts fewer than gumbo keeps open),
// and as a last resort as TextOnly, its tags left out.
enum class Reading { Faithful, Strict, TextOnly };

// `text` in the plain form, read as `reading` says.
QByteArray plainPage(const QString& text, Reading reading);

} // namespace tw::platform::html
