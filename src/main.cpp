#include "app/Startup.h"
#include "app/WordlarkApplication.h"

int main(int argc, char** argv) {
    TWordlarkApplication application(argc, argv);
    return RunWordlark();
}
