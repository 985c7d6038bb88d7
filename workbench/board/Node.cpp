#include "board/Node.h"

#include "shell/Global.h"

QList<TNode*> Nodes;

TNode::TNode(int row, int column) : Row(row), Column(column) {
    Nodes.append(this);
}

TNode::~TNode() {
    if (LeftNode) LeftNode->RightNode = nullptr;
    if (RightNode) RightNode->LeftNode = nullptr;
    if (UpperNode) UpperNode->LowerNode = nullptr;
    if (LowerNode) LowerNode->UpperNode = nullptr;
    Nodes.removeOne(this);
}

void TNode::Retire() {
    if (Elements.isEmpty()) {
        delete this;
        return;
    }
    if (LeftNode) LeftNode->RightNode = nullptr;
    if (RightNode) RightNode->LeftNode = nullptr;
    if (UpperNode) UpperNode->LowerNode = nullptr;
    if (LowerNode) LowerNode->UpperNode = nullptr;
    LeftNode = RightNode = UpperNode = LowerNode = nullptr;
    Nodes.removeOne(this);
    Retired = true;
}

void TNode::Attach(TIron0* element) {
    if (element) Elements.append(element);
}

void TNode::Detach(TIron0* element) {
    if (element) Elements.removeOne(element);
    if (Retired && Elements.isEmpty()) delete this;
}

int IndexOfNode(const TNode* node) {
    const qsizetype i = Nodes.indexOf(node);
    if (i < 0) throw EThrownText("No Nodes in Array !");
    return int(i);
}
