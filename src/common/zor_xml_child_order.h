// Which deliverable's rules a reader builds its tree by. The two deliverables were built from
// different copies of the reader and callers depend on each copy's results, so both rule sets
// are kept and each program names its own when it creates a reader.
#pragma once

enum class XmlChildOrder {
    // The launcher: each new element, CDATA or text node becomes its parent's first child, so
    // children end up in reverse document order; whitespace is the six ASCII space characters.
    Launcher,
    // The plug-in: the first child in document order stays first and later ones are inserted
    // right after it (so they follow in reverse order); a text node is kept only when it is
    // its element's first child; whitespace is the runtime library's wide-character class.
    Plugin,
};
