// The editing component reports every insertion and deletion to the
// accessibility layer with a character offset, and gets it by counting the
// characters from the start of the text (SCI_COUNTCHARACTERS from 0), one by one,
// whether or not anything listens: tens of ms for a key in the middle of a 10 MB
// page. Its own calls go through QsciScintillaBase::SendScintilla, an exported
// function that this program defines again (the dynamic linker binds the
// library's calls to the program's definition first). Counts from the start are
// answered from the page's line index of characters; everything else goes on to
// the component's own definition unchanged.
#include "ComponentCount.h"

#include <Qsci/qsciscintillabase.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using ComponentSend = long (*)(const QsciScintillaBase*, unsigned int, unsigned long, long);

long served = 0;

ComponentSend componentSend()
{
    // The Itanium name of the function defined below, in the component's library.
    static const ComponentSend send = [] {
        void* f = dlsym(RTLD_NEXT, "_ZNK17QsciScintillaBase13SendScintillaEjml");
        if (!f) {
            std::fprintf(stderr, "nollex: the editing component's SendScintilla was not found\n");
            std::abort();
        }
        return reinterpret_cast<ComponentSend>(f);
    }();
    return send;
}

}  // namespace

long QsciScintillaBase::SendScintilla(unsigned int msg, unsigned long wParam, long lParam) const
{
    const ComponentSend send = componentSend();
    if (msg == SCI_COUNTCHARACTERS && wParam == 0 && lParam > 0 &&
        (send(this, SCI_GETLINECHARACTERINDEX, 0, 0) & SC_LINECHARACTERINDEX_UTF32)) {
        const long end = std::min(lParam, send(this, SCI_GETLENGTH, 0, 0));
        const long line = send(this, SCI_LINEFROMPOSITION, static_cast<unsigned long>(end), 0);
        const long lineStart = send(this, SCI_POSITIONFROMLINE, static_cast<unsigned long>(line), 0);
        ++served;
        return send(this, SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                    SC_LINECHARACTERINDEX_UTF32) +
               send(this, SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineStart), end);
    }
    return send(this, msg, wParam, lParam);
}

namespace nollex {

long lineIndexedCounts()
{
    return served;
}

}  // namespace nollex
