// placeholder: the in-memory Windows arrives here
