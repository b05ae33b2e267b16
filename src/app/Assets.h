#pragma once

// The application's pictures (logo, icons), compiled into the application
// library as a resource.
namespace assets {

// Makes the pictures available; called by whatever shows one, once or more.
void init();

} // namespace assets
