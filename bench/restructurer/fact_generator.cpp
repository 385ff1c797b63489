#include "fact_generator.h"

#include "contract/fact_kind.h"
#include "contract/fact_line.h"
#include "contract/unit_files.h"

#include <fstream>
#include <random>
#include <set>
#include <sys/stat.h>

namespace {
constexpr int shared_units = 400;
constexpr int headers = 50;

struct shared_unit {
    std::string name;
    std::string location;
    int uses = -1; // index of a shared unit it uses, or -1
};

std::vector<shared_unit> shared_catalogue(const std::string& dir) {
    std::vector<shared_unit> units;
    for (int j = 0; j < shared_units; ++j) {
        const std::string header = dir + "/inc/h" + std::to_string(j % headers) + ".h";
        const int line = 10 * (j / headers) + 1;
        std::string name;
        switch (j % 8) {
        case 0:
            name = "struct:s" + std::to_string(j);
            break;
        case 1:
            name = "type:t" + std::to_string(j);
            break; // typedef of the struct before
        case 2:
            name = "func:api" + std::to_string(j);
            break;
        case 3:
            name = "struct:" + std::to_string(100000 + j);
            break; // anonymous
        case 4:
            name = "fct:" + std::to_string(200000 + j);
            break;
        case 5:
            name = "enum:e" + std::to_string(j);
            break;
        case 6:
            name = "var:global" + std::to_string(j);
            break;
        default:
            name = "func:call" + std::to_string(j);
            break;
        }
        units.push_back(
            {name, header + ":" + std::to_string(line) + ".1:" + std::to_string(line + 3) + ".2",
             j % 8 == 1 || j % 8 == 4 || j % 8 == 7 ? j - 1 : -1});
    }
    return units;
}
} // namespace

generated_facts generate_fact_files(const std::string& dir, int units) {
    mkdir((dir + "/inc").c_str(), 0755);
    mkdir((dir + "/src").c_str(), 0755);
    for (int h = 0; h < headers; ++h)
        std::ofstream(dir + "/inc/h" + std::to_string(h) + ".h");
    const std::vector<shared_unit> catalogue = shared_catalogue(dir);

    std::mt19937 random(2024);
    generated_facts result;
    for (int u = 0; u < units; ++u) {
        const std::string stem = dir + "/src/u" + std::to_string(u);
        const std::string source = stem + ".c";
        std::ofstream(source.c_str());
        std::ofstream out(fact_file_of(stem));
        auto fact = [&](int kind, const std::string& subject, const std::string& object) {
            write_fact_line(out, kind, subject, object);
            ++result.facts;
        };

        // The shared units this unit sees, with what they need themselves.
        std::set<int> seen;
        while (seen.size() < 40) {
            int j = static_cast<int>(random() % shared_units);
            for (; j >= 0 && seen.insert(j).second; j = catalogue[j].uses) {
            }
        }
        std::vector<int> defined;
        for (int k = 0; k < 12; ++k) {
            const int line = 20 * k + 1;
            fact(fact_kind::definition, "func:u" + std::to_string(u) + "_f" + std::to_string(k),
                 source + ":" + std::to_string(line) + ".1:" + std::to_string(line + 15) + ".1");
        }
        fact(fact_kind::definition, "var:count:static:" + source, source + ":300.1:300.20");
        for (int j : seen)
            fact(fact_kind::declaration, catalogue[j].name, catalogue[j].location);
        for (int j : seen)
            if (catalogue[j].uses >= 0)
                fact(fact_kind::declaration_uses, catalogue[j].name,
                     catalogue[catalogue[j].uses].name);
        for (int j : seen) // the struct uses its typedef back: a forward cycle
            if (j % 8 == 0 && seen.count(j + 1))
                fact(fact_kind::declaration_uses, catalogue[j].name, catalogue[j + 1].name);
        const std::vector<int> visible(seen.begin(), seen.end());
        for (int k = 0; k < 12; ++k)
            for (int e = 0; e < 5; ++e)
                fact(fact_kind::definition_uses,
                     "func:u" + std::to_string(u) + "_f" + std::to_string(k),
                     catalogue[visible[random() % visible.size()]].name);
        result.fact_files.push_back(fact_file_of(stem));
    }
    return result;
}
