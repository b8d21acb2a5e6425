#include "model.h"

namespace kv {

TClosure Closure;
Variable_Real ShockVec;
TSolutionStore Solutions;

void InitModel() {
    DefaultData(BaseData);
    NewData = BaseData;
    DefaultClosure(Closure);
    ShockVec.fill(0.0);
    Solutions = TSolutionStore{};
    BuildTableau(BaseData, Tableau);
}

} // namespace kv
