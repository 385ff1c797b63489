// Writes small TA texts for the tests: nodes and edges one per line.
#pragma once

#include <string>

class ta_text {
  public:
    // $INSTANCE id kind x { attributes }
    ta_text& n(const std::string& id, const std::string& kind, const std::string& attributes = "") {
        text_ += "$INSTANCE " + id + " " + kind + " x { " + attributes + " }\n";
        return *this;
    }
    // (kind source target) {}
    ta_text& e(const std::string& kind, const std::string& source, const std::string& target) {
        text_ += "(" + kind + " " + source + " " + target + ") {}\n";
        return *this;
    }
    ta_text& son(const std::string& parent, const std::string& child) {
        return e("cArcSon", parent, child);
    }
    const std::string& str() const { return text_; }

  private:
    std::string text_;
};
