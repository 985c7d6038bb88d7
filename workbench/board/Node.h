#pragma once
// A node of the board's 7 x 7 lattice: the junction where part ends and test leads meet.

#include <QList>

class TIron0;

class TNode {
public:
    TNode(int row, int column);
    ~TNode();
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;

    const int Row;
    const int Column;

    TNode* LeftNode = nullptr;
    TNode* RightNode = nullptr;
    TNode* UpperNode = nullptr;
    TNode* LowerNode = nullptr;

    // Every element attached here, in order of attachment; a part once per end on this node.
    QList<TIron0*> Elements;

private:
    bool Retired = false;

public:
    void Attach(TIron0* element);
    // Removes the first occurrence only; an element that is not here is ignored.
    void Detach(TIron0* element);
    int Count() const { return int(Elements.size()); }
    // The board is going: the node leaves the registry and its neighbours at once, and is
    // destroyed now or, while elements still hang on it, with the last one that lets go.
    void Retire();
    TIron0* operator[](int i) const { return Elements[i]; }
};

// Every node of the program in creation order: a node's position is its number (r * 7 + c).
extern QList<TNode*> Nodes;

// The node's number; throws EThrownText("No Nodes in Array !") for a node not in Nodes.
int IndexOfNode(const TNode* node);
