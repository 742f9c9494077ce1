#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <vector>

// One row of the receiver tree: the hidden root, a receiver, or one module page of a receiver.
// Each row owns its child rows.
struct DeviceTreeNode
{
    enum Kind { RootKind = 0, NetworkDevice = 1, ModulePage = 2, UsbDevice = 3 };

    std::vector<std::unique_ptr<DeviceTreeNode>> children;
    quint32 id = 0;
    bool isRoot = false;
    int kind = RootKind;
    int moduleType = 0;
    DeviceTreeNode *parent = nullptr;
    int state = 0; // 0 disconnected, 1 connecting, 2 connected
    QString label;
    bool marked = false; // a hidden module page holds a message; lives and dies with the row

    bool isDevice() const { return kind == NetworkDevice || kind == UsbDevice; }

    int row() const
    {
        if (!parent)
            return 0;
        for (size_t i = 0; i < parent->children.size(); ++i) {
            if (parent->children[i].get() == this)
                return int(i);
        }
        return 0;
    }

    DeviceTreeNode *child(int row) const
    {
        return row >= 0 && size_t(row) < children.size() ? children[size_t(row)].get() : nullptr;
    }

    DeviceTreeNode *append(std::unique_ptr<DeviceTreeNode> node)
    {
        node->parent = this;
        if (!isRoot)
            node->id = id;
        children.push_back(std::move(node));
        return children.back().get();
    }
};
