#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Texts held one after another in large blocks until each is taken, once: a large export holds
// tens of thousands of VEVENTs until their calendar ends, which apart would strew the heap
// between what is read meanwhile, and slow every allocation after. A block goes as soon as its
// texts are taken, for what is read then.
class IcalHeldTexts {
public:
    // A text is shorter than the largest file read.
    struct Place {
        qint32 block;
        qint32 begin;
        qint32 size;
    };

    Place add(QByteArrayView text);
    QByteArray take(const Place& place);
    void clear() { m_blocks.clear(); }

private:
    static constexpr qsizetype kBlockBytes = 1 << 20;
    struct Block {
        QByteArray text;
        int held = 0;  // texts not taken yet
    };
    QList<Block> m_blocks;
};
