// What the accessor needs to know about the system it runs on, asked of the
// platform once.
#pragma once

// True on an NT-family Windows whose thread locale is not one of the
// single-byte Western languages and whose ANSI code page has lead bytes:
// there the registry reports name lengths in UTF-16 characters while an
// ANSI name may take two bytes for each.
bool NamesNeedDoubleBuffers();
