# Car models.
target_sources(morlund PRIVATE
)
