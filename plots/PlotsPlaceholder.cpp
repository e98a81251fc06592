// The graph windows live here; this unit keeps the library non-empty.
namespace velumo { int plotsLibraryVersion() { return 1; } }
