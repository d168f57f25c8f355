// lineq.cpp: elimination with row pivoting and back substitution.
#include "gen/lineq.h"

#include <cmath>
#include <utility>

int GJlineq(int first, int end, double** A, double* b, double* sol) {
    for (int m = first; m < end - 1; m++) {
        int p = m;
        double big = std::fabs(A[m][m]);
        for (int r = m + 1; r < end; r++)
            if (std::fabs(A[r][m]) > big) big = std::fabs(A[r][m]), p = r;
        // A NaN column is no pivot either.
        if (!(big > 0)) return -1;
        if (p != m) {
            for (int k = m; k < end; k++) std::swap(A[p][k], A[m][k]);
            std::swap(b[p], b[m]);
        }
        for (int r = m + 1; r < end; r++) {
            double q = A[r][m] / A[m][m];
            for (int k = m + 1; k < end; k++) A[r][k] -= q * A[m][k];
            b[r] -= q * b[m];
        }
    }
    for (int l = end - 1; l >= first; l--) {
        if (A[l][l] == 0) return -1;
        sol[l] = b[l] / A[l][l];
        // Overflow of a nearly singular system is a failure, not a solution.
        if (!std::isfinite(sol[l])) return -1;
        for (int i = first; i < l; i++) b[i] -= sol[l] * A[i][l];
    }
    return 0;
}
