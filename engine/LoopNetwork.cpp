#include "LoopNetwork.h"

namespace velumo {

void LoopNetwork::clear()
{
    for (Row& row : M)
        row.fill(Cx {});
    b.fill(Cx {});
}

bool solve(LoopNetwork& net)
{
    auto& M = net.M;
    auto& b = net.b;
    auto& x = net.x;

    for (int i = 1; i < kLoops; ++i) {
        LoopNetwork::Row& rowI = M[i];
        for (int k = 0; k < i; ++k) {
            if (isZero(rowI[k]))
                continue;
            const LoopNetwork::Row& rowK = M[k];
            if (isZero(rowK[k]))
                return false;
            const Cx q = rowI[k] / rowK[k];
            b[i] = b[i] - b[k] * q;
            for (int c = 0; c < kLoops; ++c)
                rowI[c] = rowI[c] - rowK[c] * q;
        }
    }

    for (int i = kLoops - 1; i >= 0; --i) {
        Cx s = b[i];
        for (int c = kLoops - 1; c > i; --c)
            s = s - M[i][c] * x[c];
        if (isZero(M[i][i]))
            return false;
        x[i] = s / M[i][i];
    }
    return true;
}

} // namespace velumo
