#include "interface/NavigationPolicy.h"
#include "fake/FakePlatform.h"
#include "interface/OrviaWindowController.h"

#include <gtest/gtest.h>

#include <fstream>

using platform::NavigationResponse;
using platform::NavigationResponsePolicy;

TEST(NavigationPolicy, TheMainFrameKeepsTheInterfaceAndFramesShowOnlyWhatTheyCanDisplay) {
    struct Row {
        NavigationResponse response;
        NavigationResponsePolicy policy;
    };
    const Row rows[] = {
        {{.isForMainFrame = true, .canShowMIMEType = true}, NavigationResponsePolicy::Cancel},
        {{.isForMainFrame = true, .canShowMIMEType = false}, NavigationResponsePolicy::Cancel},
        {{.isForMainFrame = false, .canShowMIMEType = true}, NavigationResponsePolicy::Allow},
        {{.isForMainFrame = false, .canShowMIMEType = false}, NavigationResponsePolicy::Cancel},
    };
    fake::FakePlatform os;
    std::ofstream(os.bundle.resources() / "index.html") << "<p>kiosk</p>";
    orvia::OrviaWindowController controller(os);

    for (int load = 0; load < 2; ++load) {
        for (const auto& [response, policy] : rows) {
            const auto row = testing::Message()
                             << "main frame " << response.isForMainFrame << ", displayable "
                             << response.canShowMIMEType << ", load " << load;
            EXPECT_EQ(orvia::navigationResponsePolicy(response), policy) << row;
            EXPECT_EQ(os.webView()->receiveNavigationResponse(response), policy) << row;
        }
        // The interface comes back after its process died, and the page still cannot replace it.
        os.webView()->crashWebContentProcess();
        os.queue.drain();
        EXPECT_TRUE(os.webView()->hasWebContentProcess());
    }
}
