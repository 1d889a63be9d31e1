// Page store: filled in with the page store.
#pragma once
