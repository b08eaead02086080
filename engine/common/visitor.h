#pragma once

// Overloaded lambdas as one visitor for std::visit.
template <class... Handlers> struct Visitor : Handlers... {
    using Handlers::operator()...;
};
template <class... Handlers> Visitor(Handlers...) -> Visitor<Handlers...>;
