#include "app/AppDelegate.h"
#include "app/ApplicationIdentifier.h"
#include "platform/Supervisor.h"

int main() {
    platform::enterSupervision();
    auto os = platform::makePlatform(orvia::applicationIdentifier);
    auto delegate = std::make_shared<orvia::AppDelegate>(*os);
    os->application().setDelegate(delegate);
    os->application().run();
    return 0;
}
