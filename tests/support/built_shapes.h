#pragma once
// Shapes a test sets up through their pointers before they join the document: kept here
// until handed to the document, and freed with the keeper when never added.
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "model/document.h"
#include "model/shape.h"

namespace quillon::test {

class TBuiltShapes {
 public:
  TQN_Path *keep(std::unique_ptr<TQN_Path> shape) {
    FShapes.push_back(std::move(shape));
    return FShapes.back().get();
  }
  // Hands a kept shape to the document on the layer and returns it.
  TQN_Path *addTo(TDocument &document, TQN_Path *shape, int layer) {
    auto it = std::find_if(FShapes.begin(), FShapes.end(), [shape](const auto &s) { return s.get() == shape; });
    if (it == FShapes.end()) throw std::logic_error("the shape was not kept to be added");
    std::unique_ptr<TQN_Path> owned = std::move(*it);
    FShapes.erase(it);
    return document.add(std::move(owned), layer);
  }

 private:
  std::vector<std::unique_ptr<TQN_Path>> FShapes;
};

}  // namespace quillon::test
