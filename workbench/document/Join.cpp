#include "document/Join.h"

#include "board/Host.h"
#include "document/Circuit.h"
#include "document/Scheme.h"

void JoinCircuit() {
    BenchHost.SolveCircuit = [] { return SolveBoard(); };
    BenchHost.SchemeModified = [] { SchemeSaved = false; };
}
