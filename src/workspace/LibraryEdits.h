#pragma once
// The edits of the strategy library that the tree offers, on the model alone:
// each takes the key of the node it works on ("T2", "T2S3") and changes the
// library, and gives the key of the node to select once the tree has been
// built again. Keys are positions, so a key from before an edit names
// whatever node has that position afterwards.
//
// Nodes are numbered 1, 2, ... in tree order: a group, then its strategies,
// then the next group. The delete commands choose the node to select next by
// that number.

#include "model/StrategyTemplates.h"

#include <QList>
#include <QString>
#include <memory>

namespace tw {

// The shipped library's file name, next to the program.
inline constexpr const char* DefaultStrategiesFile = "DEFAULT.STG";

// ---- Node numbers -----------------------------------------------------------

int nodeCount(const StrategyTypeCollection& types);
// The number of the node with that key; 0 when there is none.
int nodeNumber(const StrategyTypeCollection& types, const QString& key);
// The key of node `number`; empty when there is none.
QString keyOfNodeNumber(const StrategyTypeCollection& types, int number);
// True when the key names a node of the library.
bool nodeExists(const StrategyTypeCollection& types, const QString& key);

// ---- Edits --------------------------------------------------------------------

// Appends "New strategy" to the group of the node (the group itself, or the
// strategy's group); the new strategy's key.
QString addStrategy(StrategyTypeCollection& types, const QString& key);
// Appends a copy of the strategy (caption + " copy", same description, legs
// of its own with the same values) to its group; the copy's key. A group key
// copies nothing and gives an empty key.
QString copyStrategy(StrategyTypeCollection& types, const QString& key);
// Appends "New strategy group"; its key.
QString addGroup(StrategyTypeCollection& types);
// Moves the strategy to the end of group `targetGroup`; its new key.
QString moveStrategyToGroup(StrategyTypeCollection& types, const QString& key, int targetGroup);
// Removes the strategy; the key of the node to select: the strategy that
// followed it, the one before it when it was last, or its group when the
// group is now empty.
QString deleteStrategy(StrategyTypeCollection& types, const QString& key);
// True when the group of the node (the group, or the strategy's group) has
// strategies (deleting it then asks first).
bool groupHasStrategies(const StrategyTypeCollection& types, const QString& key);
// Removes the group of the node with its strategies; the key of the node now
// at the selected node's number (the last node when there are fewer), empty
// when no group is left.
QString deleteGroup(StrategyTypeCollection& types, const QString& key);

// Renames the group or strategy; an empty text is refused (false) and changes
// nothing. Blanks are kept as typed.
bool renameNode(StrategyTypeCollection& types, const QString& key, const QString& text);

// What dropping a dragged strategy on a node did.
struct DropOutcome {
    bool moved = false;  // the library changed (also a move to where it was)
    QString selectKey;   // the node to select afterwards
};
// Drops strategy `dragKey` on node `targetKey`: onto a group it goes to the
// end of that group (as moveStrategyToGroup); onto a strategy it lands right
// before that strategy; onto itself nothing moves.
DropOutcome dropStrategy(StrategyTypeCollection& types, const QString& dragKey, const QString& targetKey);

// ---- Export -------------------------------------------------------------------

// A library of one group for the export of the node: the group's caption and
// description with the one strategy (sharing its legs) or, for a group node,
// all the group's strategies (shared). The open library is not changed.
std::shared_ptr<StrategyTypeCollection> exportedLibrary(const StrategyTypeCollection& types, const QString& key);
// The name offered for an export: "Group - Strategy" or "Group", made safe
// as a file name, with the ".stg" extension.
QString defaultExportName(const StrategyTypeCollection& types, const QString& key);
// A text usable as a file name: path separators, characters other systems
// refuse and control characters become "_", leading and trailing blanks and
// points go; an empty result becomes "strategies".
QString safeFileName(const QString& name);

// ---- Tree popup ---------------------------------------------------------------

// The states of the tree popup's entries for the selected node (an empty
// key: none selected).
struct TreePopupStates {
    bool rename = false;
    bool addStrategy = false;
    bool deleteStrategy = false;
    bool copyStrategy = false;
    bool moveTo = false; // the "Move to" entry is shown
    bool deleteGroup = false;
    bool exportNode = false;
};
TreePopupStates treePopupStates(const StrategyTypeCollection& types, const QString& selectedKey);

struct MoveTarget {
    QString caption;
    int group = 0;
};
// The groups a strategy can be moved to: every group but its own, in order.
QList<MoveTarget> moveTargets(const StrategyTypeCollection& types, const QString& strategyKey);

// ---- Drag auto-scroll ---------------------------------------------------------

enum class AutoScroll { None, Up, Down };
// The scroll zone of a pointer at `y` over a tree `height` high (twips): up
// within 100 twips of the top edge, down within 200 twips of the bottom edge
// (the edges and the zone limits themselves are outside).
AutoScroll autoScrollZone(double y, double height);

// ---- Messages about strategies files -------------------------------------------

// What the user is told when the strategies file at `path` cannot be read
// (error number 53 from the reader: missing or unreadable; 75: a folder;
// anything else: damaged). The reader's details, byte offsets included, are for the trace
// log, never for the message.
enum class StrategiesCommand { Load, Append };
QString strategiesReadFailure(StrategiesCommand command, const QString& path, int errorNumber);
// The line added when the start-up opens the shipped library instead.
QString shippedStrategiesInstead(const QString& shippedPath);
// The question before a save replaces the file that could not be read at
// the start.
QString replaceUnreadableQuestion(const QString& path);
// Why nothing is written over the shipped library.
QString shippedStrategiesKept(const QString& shippedPath);
// The question before a save writes over a file another program wrote since
// it was read or last written here.
QString changedElsewhereQuestion(const QString& path);

// ---- Paths --------------------------------------------------------------------

// The folder part of a path: everything before its last "/" or "\"; empty
// when it has none.
QString GetPath(const QString& path);
// True when both paths name the same file (links followed; a file that does
// not exist by its absolute, cleaned path). An empty path names none.
bool sameFile(const QString& a, const QString& b);

} // namespace tw
