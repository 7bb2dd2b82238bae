#include "repo/RepoAuthChecker.h"

namespace RepoAuth {

Checker::Checker(QWidget*, YumConfIO*) { }

Checker::~Checker() = default;

} // namespace RepoAuth
