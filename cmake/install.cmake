# Install tree: desktop integration.
